#pragma once

#include "components/forms.h"

// The windows of the contacts program by component name, for the command
// hub and for windows that open one another. The table is filled on first
// use by RegisterContactWindows, where each window's unit adds its line.
FormFactory& ContactForms();
void RegisterContactWindows(FormFactory& forms);
