#include "platform/movies/model/MovieRecord.h"

#include <algorithm>
#include <atomic>

#include "platform/movies/atoms/HdlrAtom.h"
#include "platform/movies/model/EditList.h"
#include "platform/movies/model/TimeMath.h"

MatrixRecord IdentityMatrix()
{
    MatrixRecord m{};
    m.matrix[0][0] = fixed1;
    m.matrix[1][1] = fixed1;
    m.matrix[2][2] = 0x40000000;  // 1.0 in 2.30
    return m;
}

UInt64 NextMediaSerial()
{
    static std::atomic<UInt64> next{1};
    return next++;
}

SInt64 MediaRecord::Duration() const
{
    // The header's duration stands while the samples are those of the file;
    // once samples are added or merged, the samples decide.
    if (!tableChanged && durationAsRead > 0)
        return durationAsRead;
    return table.TotalDuration();
}

std::string MediaRecord::HandlerName() const
{
    if (auto* hdlr = mdia ? mdia->FindAs<HdlrAtom>('hdlr') : nullptr)
        return hdlr->Name();
    return {};
}

SInt64 TrackRecord::Duration() const { return TotalDuration(edits); }

std::vector<Edit> TrackRecord::ImplicitEdits() const
{
    if (!media || !movie)
        return {};
    // Bounded like the edits read from a file, so sums of them stay in range.
    SInt64 d = std::min(ConvertTime(media->Duration(), movie->timeScale, media->timeScale), SInt64(1) << 48);
    if (d <= 0)
        return {};
    return {Edit{d, 0, fixed1}};
}

SInt64 MovieRecord::Duration() const
{
    SInt64 longest = 0;
    for (auto& t : tracks)
        longest = std::max(longest, AddTimes(t->offset, t->Duration()));
    return longest;
}
