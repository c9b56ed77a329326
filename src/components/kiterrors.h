#pragma once

#include "platform/errors.h"

// Exceptions the kit's components raise on misuse. Each is its own class so a
// caller can tell them apart; the message is the English text of the kit.

// A region script could not be translated; the message names the line.
class ECannotTranslate : public KorvelError {
public:
    using KorvelError::KorvelError;
};

// A component that works on its owner form was given no form.
class EOwnerMustBeForm : public KorvelError {
public:
    using KorvelError::KorvelError;
};

// A second component of a class that a form may hold only once.
class EDuplicateComponent : public KorvelError {
public:
    using KorvelError::KorvelError;
};

// A part created without the component that owns it.
class EOwnerNotAssigned : public KorvelError {
public:
    using KorvelError::KorvelError;
};

// A status-bar panel made in anything but a status bar's panel collection.
class EKitStatusPanelOwner : public KorvelError {
public:
    using KorvelError::KorvelError;
};

// A file edit given a name that no file could have.
class EComboEditError : public KorvelError {
public:
    using KorvelError::KorvelError;
};

// A string table that is missing, damaged or lacks a text asked for.
class ETpsStringResourceError : public KorvelError {
public:
    using KorvelError::KorvelError;
};

// A value the kit's components cannot work with (a year below 100).
class EKitError : public KorvelError {
public:
    using KorvelError::KorvelError;
};
