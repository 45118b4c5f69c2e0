#pragma once

// Registers the fonts the window's design names (Tahoma, MS Sans Serif) from
// the metric-compatible files when they are installed, maps Verdana to DejaVu
// Sans, and makes the default control font, MS Sans Serif 8 pt, the
// application's font. MS Sans Serif is a bitmap font: each of its strikes (13,
// 16 and 20 px) is registered as a size of its own. Missing files fall back
// silently to what the system has. Safe to call twice.
void installDesignFonts();
