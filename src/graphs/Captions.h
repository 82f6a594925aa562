#pragma once
// The caption of a graph window: what it shows, of which recording, in which
// form (normal or accumulation). Also used as the window's item in the
// "Окна" menu.

#include <string>

namespace kalvex {

class TFrmFile;
class TGrWin;

// The recording's display name ("Нет данных" before any data, the name of an
// acquired record, the file name without its directory) followed by
// " [mode name]" of the recording's mode.
std::string RecordingPart(const TFrmFile& recording);

// The full caption of `window` showing `recording`. Channel names are those of
// the window's recording mode. An interval spectrum window takes its texts from
// its source window; without one it has the no-data caption.
std::string WindowCaption(const TGrWin& window, const TFrmFile& recording);

// The name of a harmonic order code 0..6 ("All" .. "5-th").
std::string HarmonicOrderName(int order);

}  // namespace kalvex
