#include "contactrecord.h"

#include <array>

namespace {

// clang-format off
constexpr std::array<ContactTextField, 32> kTextFields = {{
    {1, "titul_pred", u"t.před", 24, 10, &ContactRecord::titul_pred},
    {2, "jmeno", u"jméno", 35, 25, &ContactRecord::jmeno},
    {3, "prijmeni", u"příjmení", 61, 35, &ContactRecord::prijmeni},
    {4, "titul_za", u"t.za", 97, 10, &ContactRecord::titul_za},
    {6, "skupina1", u"skupina 1", 112, 250, &ContactRecord::skupina1},
    {7, "skupina2", u"skupina 2", 363, 250, &ContactRecord::skupina2},
    {8, "skupina3", u"skupina 3", 614, 250, &ContactRecord::skupina3},
    {9, "email1", u"email 1", 865, 100, &ContactRecord::email1},
    {10, "email2", u"email 2", 966, 100, &ContactRecord::email2},
    {11, "email3", u"email 3", 1067, 100, &ContactRecord::email3},
    {12, "ejine", u"jiné", 1168, 150, &ContactRecord::ejine},
    {13, "www1", u"adresa www 1", 1319, 255, &ContactRecord::www1},
    {14, "www2", u"adresa www 2", 1575, 255, &ContactRecord::www2},
    {15, "tel1", u"telefon 1", 1831, 20, &ContactRecord::tel1},
    {16, "tel2", u"telefon 2", 1852, 20, &ContactRecord::tel2},
    {17, "fax", u"fax", 1873, 20, &ContactRecord::fax},
    {18, "mobil1", u"mobil 1", 1894, 20, &ContactRecord::mobil1},
    {19, "mobil2", u"mobil 2", 1915, 20, &ContactRecord::mobil2},
    {20, "mobil3", u"mobil 3", 1936, 20, &ContactRecord::mobil3},
    {21, "adr1_ul", u"ulice doma", 1957, 50, &ContactRecord::adr1_ul},
    {22, "adr1_psc", u"PSC doma", 2008, 10, &ContactRecord::adr1_psc},
    {23, "adr1_mesto", u"město doma", 2019, 50, &ContactRecord::adr1_mesto},
    {24, "adr2_ul", u"ulice firma", 2070, 50, &ContactRecord::adr2_ul},
    {25, "adr2_psc", u"PSC firma", 2121, 10, &ContactRecord::adr2_psc},
    {26, "adr2_mesto", u"město firma", 2132, 50, &ContactRecord::adr2_mesto},
    {27, "firma", u"firma", 2183, 150, &ContactRecord::firma},
    {28, "funkce", u"funkce", 2334, 50, &ContactRecord::funkce},
    {29, "ICQ", u"ICQ", 2385, 20, &ContactRecord::ICQ},
    {36, "popis1", u"popis1", 2406, 255, &ContactRecord::popis1},
    {37, "popis2", u"popis2", 2662, 255, &ContactRecord::popis2},
    {38, "popis3", u"popis3", 2918, 255, &ContactRecord::popis3},
    {39, "popis4", u"popis4", 3174, 255, &ContactRecord::popis4},
}};
// clang-format on

// Each field starts where the one before it ends (pohlavi fills the gap
// after titul_za, the flags follow popis4).
constexpr bool fieldsAdjoin()
{
    for (size_t i = 1; i < kTextFields.size(); ++i) {
        const int end = kTextFields[i - 1].offset + kTextFields[i - 1].capacity + 1;
        const int gap = kTextFields[i - 1].code == 4 ? 4 : 0;
        if (end + gap != kTextFields[i].offset)
            return false;
    }
    return kTextFields.back().offset + kTextFields.back().capacity + 1 == 3430;
}
static_assert(fieldsAdjoin());

} // namespace

std::span<const ContactTextField> ContactTextFields()
{
    return kTextFields;
}
