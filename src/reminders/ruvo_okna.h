#pragma once

#include "components/forms.h"

#include <functional>

// The windows of the reminders program by component name, for the command
// hub and for windows that open one another. The table is filled on first
// use by RegisterReminderWindows, where each window's unit adds its line.
FormFactory& ReminderForms();
void RegisterReminderWindows(FormFactory& forms);

// The import window's test whether an automatic import is due (code -9).
// Without a test no import is ever due.
void SetAutoImportDueTest(std::function<bool()> test);
bool AutoImportDue();
