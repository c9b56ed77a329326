#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

class TIconList;

// The tray resident's pictures. They are painted here in the 16 colours of
// the standard palette rather than shipped as image files.

// "IOK" (running) and "ISTOP" (paused); a null icon for any other name.
QIcon TrayIconResource(const QString& name);

// The 20 animation frames of 32 x 32 pixels: the clock's hand going round
// once.
void LoadTrayAnimation(TIconList& icons);
constexpr int TrayAnimationFrames = 20;

// The menu pictures: 16 cells of 25 x 25 side by side (400 x 25); cell k is
// the picture of the menu items with Tag k + 1. The ground is clFuchsia,
// which is also the bottom-left pixel, so a picture clip masks it out.
QPixmap TrayMenuPictures();
constexpr int TrayMenuPictureCells = 16;
constexpr int TrayMenuPictureSize = 25;
