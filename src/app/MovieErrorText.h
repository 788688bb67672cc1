#pragma once

#include <QString>

class TGKitMSPlay;

namespace media {
class MovieError;
}

namespace app {

// What a user of the window reads about a movie that cannot be opened or read: short Japanese,
// the file by its name alone, no decoder's words. The command line keeps the English text.
QString movieErrorText(const media::MovieError& error);

// Hands the file to the player; a movie it cannot open raises core::Error with the text above.
void loadMovie(TGKitMSPlay& player, const QString& fileName);

} // namespace app
