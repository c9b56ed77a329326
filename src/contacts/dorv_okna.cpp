#include "dorv_okna.h"

#include "dorv_about.h"
#include "dorv_edit.h"
#include "dorv_exportcsv.h"
#include "dorv_importcsv.h"
#include "dorv_newk.h"
#include "dorv_odstran.h"
#include "dorv_prehled.h"
#include "dorv_prehlsloup.h"

FormFactory& ContactForms()
{
    static FormFactory forms = [] {
        FormFactory f;
        RegisterContactWindows(f);
        return f;
    }();
    return forms;
}

// One line per window, by its component name, e.g.
//   forms.Register("FKNew", [](OpenMode) { return new TFKNew; });
// Asked for: "FKNew" (code -1, the overview's new and copy), "FKPrehled"
// (code -2), "FKAbout" (the base windows' menu), and by the overview
// "FKEdit", "FKOdstran" (modal), "FKPrehlSloup" (modal), "FKImportCSV" and
// "FKExportCSV" (modal). A window the hub needs gives what it asks of it
// through the interfaces of dorv_zaklad.h; a name without a line answers
// that the window is not available.
void RegisterContactWindows(FormFactory& forms)
{
    forms.Register("FKNew", [](OpenMode) { return new TFKNew; });
    forms.Register("FKEdit", [](OpenMode) { return new TFKEdit; });
    forms.Register("FKOdstran", [](OpenMode) { return new TFKOdstran; });
    forms.Register("FKPrehlSloup", [](OpenMode) { return new TFKPrehlSloup; });
    forms.Register("FKPrehled", [](OpenMode) { return new TFKPrehled; });
    forms.Register("FKAbout", [](OpenMode) { return new TFKAbout; });
    forms.Register("FKExportCSV", [](OpenMode) { return new TFKExportCSV; });
    forms.Register("FKImportCSV", [](OpenMode) { return new TFKImportCSV; });
}
