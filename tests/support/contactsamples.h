#pragma once

#include "shared/contactrecord.h"

// A contact with every single field filled (codes 1..29) and a two-line
// description, in Czech letters; its texts hold ";" and "," and no text is
// longer than the new-contact form takes.
ContactRecord SampleCzechContact();
