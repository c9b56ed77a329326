#pragma once

#include "reminderrecord.h"

#include <QString>

#include <cstdint>
#include <span>

// Ranges of the contact field codes.
constexpr int32_t StoredFieldCount = 29; // codes 1..29: the single stored fields
constexpr int32_t TextFieldCount = 34; // codes 1..34: list columns, the text of code 35
constexpr int32_t FilterFieldCount = 35; // codes 1..35: filter fields
constexpr int32_t NumberFieldCode = 43; // cislo, the record-number column of every contact list

// One contact as it stands in the contact file (3436 bytes; the byte layout
// lives with the file code). Member names are the field keys. Texts are
// limited to their capacity in CP1250 bytes when written.
struct ContactRecord {
    static constexpr int Size = 3436;

    int32_t verze = DataVersion;
    int32_t cislo = 0;
    double unikat = 0; // creation time, the key an import recognises a contact by
    double zmena = 0; // time of the last change
    QString titul_pred; // capacity 10
    QString jmeno; // 25
    QString prijmeni; // 35
    QString titul_za; // 10
    int32_t pohlavi = 0; // 0 man, 1 woman
    QString skupina1; // 250 each, ";"-separated group names
    QString skupina2;
    QString skupina3;
    QString email1; // 100 each
    QString email2;
    QString email3;
    QString ejine; // 150
    QString www1; // 255 each
    QString www2;
    QString tel1; // 20 each, digits, "+" and "*" only
    QString tel2;
    QString fax;
    QString mobil1;
    QString mobil2;
    QString mobil3;
    QString adr1_ul; // 50
    QString adr1_psc; // 10
    QString adr1_mesto; // 50
    QString adr2_ul; // 50
    QString adr2_psc; // 10
    QString adr2_mesto; // 50
    QString firma; // 150
    QString funkce; // 50
    QString ICQ; // 20
    QString popis1; // 255 each: the description in pieces
    QString popis2;
    QString popis3;
    QString popis4;
    bool vymazano = false; // deleted by the user, kept until deleted for good
    bool prenos = false; // transferable: only such contacts are exported
    bool tajne = false; // private

    bool operator==(const ContactRecord&) const = default;
};

// The text fields of a contact record: field code, key (the name in CSV
// files and settings), caption (list columns, combo items), offset of the
// length byte, capacity in bytes and the member holding it. The other field
// codes live with the field texts (contactfields.h).
struct ContactTextField {
    int code;
    const char* key;
    const char16_t* caption;
    int offset;
    int capacity;
    QString ContactRecord::*member;
};
std::span<const ContactTextField> ContactTextFields();
