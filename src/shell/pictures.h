// The application's pictures, each read from the resources once and kept for the run.
#pragma once

#include <QPixmap>

namespace Pictures {

QPixmap TapselNewIcon2Larger(); // picture 170, the palette's icon
QPixmap Tapsel2();              // picture 172, the About picture
int loads();                    // how many times a picture was read from the resources

} // namespace Pictures
