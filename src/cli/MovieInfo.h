#pragma once

#include "media/FrameRecord.h"
#include "picture/ShotDetector.h"

#include <cstdint>
#include <string>
#include <vector>

namespace media {
class Movie;
}

namespace cli {

// "frames=N", "width=W", "height=H" (of the pictures written), "rotation=0|90|180|270",
// "mirrored=yes|no", "sar=N:D" (of the pictures as turned), "display_width=W", "display_height=H"
// (their size with square pixels), "fps=R", "duration=S.mmm", "container=C", "codec=C",
// "pixel_format=F", "bit_depth=N", "field_order=progressive|tff|bff|unknown" lines, one fact a
// line, for scripts to read, then the colours: "color_matrix=", "color_range=",
// "color_primaries=", "color_transfer=" (FFmpeg's names, or "unknown (assumed bt709)") and
// "hdr=pq|hlg|no"; a truncated file adds "truncated=yes" and "claimed_frames=N".
std::string describeMovie(const media::Movie& movie);
// The same facts as one JSON object on one line, each colour as "color_matrix": "unknown" and
// "color_matrix_assumed": "bt709" (null where declared).
std::string describeMovieAsJson(const media::Movie& movie);
// "frame,seconds,key,packet_size" and one line for each of `frames`, from the container's
// tables.
std::string frameTableCsv(const std::vector<media::FrameRecord>& table,
                          const std::vector<std::int32_t>& frames);
// "frame,seconds,score" and one line a shot: its first frame, when it starts, and how far the
// pictures either side of its start differ (0 to 1; 0 for the first).
std::string shotTableCsv(const std::vector<picture::ShotDetector::Shot>& shots,
                         const std::vector<media::FrameRecord>& table);
// "'clip.avi' is truncated: ..." for a movie cut short; empty otherwise.
std::string truncationNotice(const std::string& name, const media::Movie& movie);
// "'clip.ts': 1 damaged time stamp repaired ..." where the index put some right; else empty.
std::string repairNotice(const std::string& name, const media::Movie& movie);
// "'clip.mp4': 1 stretch of pictures is lost ..." where the container skipped damaged data.
std::string lossNotice(const std::string& name, const media::Movie& movie);
// At most three decimals, trailing zeros dropped: 25, 29.97, 23.976.
std::string formatFrameRate(double fps);

} // namespace cli
