#include "ruvo_okna.h"

#include "ruvo_about.h"
#include "ruvo_export.h"
#include "ruvo_import.h"
#include "ruvo_kalendar.h"
#include "ruvo_nastav.h"
#include "ruvo_newprip.h"
#include "ruvo_prehled.h"
#include "ruvo_prevod.h"
#include "ruvo_prip.h"
#include "ruvo_vypdc.h"

namespace {

std::function<bool()>& autoImportDueTest()
{
    static std::function<bool()> test;
    return test;
}

// The export and import windows run by themselves when the tray resident
// asks for them.
template <class Window> QWidget* exchangeWindow(OpenMode mode)
{
    auto* w = new Window;
    w->AutoMode = mode == OpenMode::Automatic;
    return w;
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
    forms.Register("FNewPrip", [](OpenMode) { return new TFNewPrip; });
    forms.Register("FPrevod", [](OpenMode) { return new TFPrevod; });
    forms.Register("FPrehled", [](OpenMode) { return new TFPrehled; });
    forms.Register("FPrip", [](OpenMode) { return new TFPrip; });
    forms.Register("FVypDC", [](OpenMode) { return new TFVypDC; });
    forms.Register("FKalendar", [](OpenMode) { return new TFKalendar; });
    forms.Register("Fabout", [](OpenMode) { return new TFAbout; });
    forms.Register("FNastav", [](OpenMode) { return new TFNastav; });
    forms.Register("FExport", exchangeWindow<TFExport>);
    forms.Register("FExportAuto", exchangeWindow<TFExportAuto>);
    forms.Register("FImport", exchangeWindow<TFImport>);
    SetAutoImportDueTest(&TFImport::AutoImportDue);
}

void SetAutoImportDueTest(std::function<bool()> test)
{
    autoImportDueTest() = std::move(test);
}

bool AutoImportDue()
{
    return autoImportDueTest() && autoImportDueTest()();
}
