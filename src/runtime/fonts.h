#pragma once

#include <QFont>

// Registers the fonts the window's design names (Tahoma, MS Sans Serif) from
// the metric-compatible files when they are installed, maps Verdana to DejaVu
// Sans, and makes MS Sans Serif 8 pt the application's default control font.
// Missing files fall back silently to what the system has. Safe to call twice.
void installDesignFonts();

// MS Sans Serif 8 pt: one text line is 13 px (195 twips) at 96 dpi.
QFont defaultControlFont();
