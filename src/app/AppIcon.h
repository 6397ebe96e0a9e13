#pragma once

#include <QIcon>
#include <QImage>

// The program's icon, drawn here so that the window icon needs no image plugin: the pairs (x, (1 + 4x) mod 17)
// of a small generator, which fall on a few parallel lines, on a rounded tile. data/sewella.svg is the same
// picture for the desktop.
QImage SewellaIconImage(int Size);
QIcon SewellaIcon();
