// The contact file as the contact lists, the search and the exports read it.
#include "fuzzsupport.h"

#include "platform/errors.h"
#include "shared/contactfields.h"
#include "shared/contactfile.h"

namespace {

Fuzz::Seeds seeds()
{
    const QList<ContactRecord> all = Fuzz::sampleContacts();
    return { Fuzz::contactFile(all), Fuzz::contactFile({ all.first() }) };
}

void run(const QByteArray& input)
{
    const QString file = Fuzz::path(QStringLiteral("kkorvel.da1"));
    Fuzz::write(QStringLiteral("kkorvel.da1"), input);
    try {
        ForEachContact(file, [](int, const ContactRecord& c) {
            for (int code = 0; code <= ContactFieldCodeCount + 1; ++code)
                (void)ContactFieldText(code, c);
            (void)ContactText(c);
            for (int level = 1; level <= 3; ++level)
                (void)GroupLevel(c, level);
        });
        (void)AnyDeleted(file);
        int position = input.size() > 0 ? uchar(input[0]) : 1;
        ContactRecord c;
        ReadContact(position, file, c);
    } catch (const IoError&) {
    }
}

} // namespace

KORVEL_FUZZ_TARGET(seeds, run)
