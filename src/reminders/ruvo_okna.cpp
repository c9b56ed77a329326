#include "ruvo_okna.h"

#include "ruvo_prevod.h"

namespace {

std::function<bool()>& autoImportDueTest()
{
    static std::function<bool()> test;
    return test;
}

} // namespace

FormFactory& ReminderForms()
{
    static FormFactory forms = [] {
        FormFactory f;
        RegisterReminderWindows(f);
        return f;
    }();
    return forms;
}

// One line per window, by its component name, e.g.
//   forms.Register("FNewPrip", [](OpenMode) { return new TFNewPrip; });
// The hub asks for "FNewPrip", "FPrehled", "Fabout", "FNastav", "FExport",
// "FExportAuto", "FImport", "FPrevod", "FKalendar" and "FPrip" (the reminder
// pop-up); a name without a line answers that the window is not available.
void RegisterReminderWindows(FormFactory& forms)
{
    forms.Register("FPrevod", [](OpenMode) { return new TFPrevod; });
}

void SetAutoImportDueTest(std::function<bool()> test)
{
    autoImportDueTest() = std::move(test);
}

bool AutoImportDue()
{
    return autoImportDueTest() && autoImportDueTest()();
}
