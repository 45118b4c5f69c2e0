#pragma once

// Twips are 1/1440 inch, the unit of window and control geometry. The number
// of twips per pixel comes from the screen's logical dpi: 15 at 96 dpi.
double twipsPerPixelX();
double twipsPerPixelY();

// Whole device pixels for a length in twips, rounded half to even.
int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);

double pixelsToTwipsX(double pixels);
double pixelsToTwipsY(double pixels);

// HIMETRIC (1/100 mm), the unit of a hosted control's stored extent.
double himetricToTwips(double himetric);
