#pragma once

#include <QString>

class IniReader;
class QWidget;

// Where each window was and how large, kept in a section of a settings file
// in the program folder named after the window: "State" (1 maximised,
// 2 normal, 0 or none: nothing stored), "Left"/"Top" (frame position),
// "Width"/"Height" (client size). Also the placing of windows on the screen.

// The folder of the running program, without a trailing separator.
QString ProgramDir();

// Unless the window is minimised, State := 1 (maximised) or 2; unless it is
// maximised, its position and client size. A maximised window so keeps its
// last normal placement. For close paths: a settings file that cannot be
// written is reported once and the close goes on; false then.
bool SaveFormPlacement(const QWidget* form, const QString& iniName, const QString& section);

// With a State stored: the stored position (negative = 0), client width
// (only when defaultClientWidth is not 0) and height, then the state. With
// none: the default client size. The size is set in one step, so a resize
// handler runs once, with width and height both in place.
void RestoreFormPlacement(QWidget* form, const QString& iniName, const QString& section, int defaultClientWidth,
                          int defaultClientHeight);
// The same from a settings file read already.
void RestoreFormPlacement(QWidget* form, const IniReader& ini, const QString& section, int defaultClientWidth,
                          int defaultClientHeight);
// The same without the size.
void RestoreFormPosition(QWidget* form, const QString& iniName, const QString& section);

// The resize handler of sizeable windows: the client area keeps its
// proportions, its controls scaled by the smaller of the two size ratios,
// the other side following. lastClientWidth/Height hold the last size.
// A minimised window or an empty client area changes nothing.
void KeepAspectResize(QWidget* form, int& lastClientWidth, int& lastClientHeight);

// Moves the window inside the primary screen; one larger than the screen is
// put at the top left, its caption within reach.
void KeepFormOnScreen(QWidget* form);
void CenterOnControl(QWidget* form, const QWidget* control);
void CenterOnScreen(QWidget* form);

// Whether the volume holding folder (or its nearest existing parent) can be
// read and answers in time; beeps when not.
bool DriveReady(const QString& folder);
