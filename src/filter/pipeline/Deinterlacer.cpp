#include "filter/pipeline/Deinterlacer.h"

#include <algorithm>
#include <cstring>

namespace lumoka {

void ExpandFieldPicture(uint8_t* buffer, int parity, FieldPictureForm& form, const RowKernels& k) {
    const int64_t r = form.rowBytes;
    const int64_t h = form.rows;
    if (r > 0) {
        // A stored row's packed place is never below its own, and the rows packed after it
        // belong further down: moved last first, no row is overwritten before it has moved.
        for (int64_t y = h - 1; y >= 0; --y) {
            if (!IsStoredRow(y, parity, h)) continue;
            const int64_t from = PackedRowIndex(y, parity, h);
            if (from != y) std::memcpy(buffer + y * r, buffer + from * r, static_cast<size_t>(r));
        }
        for (int64_t y = 1; y + 1 < h; ++y) {
            if (IsStoredRow(y, parity, h)) continue;
            k.average(buffer + y * r, buffer + (y - 1) * r, buffer + (y + 1) * r,
                      static_cast<size_t>(r));
        }
    }
    form = FieldPictureForm{};
}

namespace {

enum Mode { kSimple = 1, kLinear = 2, kLinearSharp = 3, kBlend = 4, kBlendSharp = 5 };

// One frame's deinterlacing, row by row: source rows (YC-expanded into a small ring when the
// expansion comes first), deinterlaced rows (a second ring for the sharpen pass), then the
// target row. Lives for one call of RunDeinterlace on the streaming thread; owns nothing, the
// rows it uses are the job's scratch rows.
class CDeinterlacer {
public:
    explicit CDeinterlacer(const DeinterlaceJob& job)
        : job_(job),
          k_(*job.kernels),
          g_(job.frame),
          r_(job.frame.rowBytes),
          n_(static_cast<size_t>(job.frame.rowBytes)),
          src_(job.frame.source),
          length_(job.frame.sourceLength),
          groupEnd_(static_cast<int64_t>(job.frame.sourceLength & ~size_t{3})) {
        sharp_ = job.mode == kLinearSharp || job.mode == kBlendSharp;
        blend_ = job.mode == kBlend || job.mode == kBlendSharp;
        ycSource_ = job.ycLayout != 0 && !sharp_;
        ycAfter_ = job.ycLayout != 0 && sharp_;
        lumaOnEven_ = LumaOnEven(job.ycLayout);
        for (int i = 0; i < 4; ++i) {
            srcRing_[i] = Scratch(i);
            dRing_[i] = Scratch(4 + i);
        }
        sink_ = Scratch(8);
        // Non-sharp blend rows go straight to the target; the sharp modes' target rows come
        // from the sharpen pass.
        blendToFrame_ = job.streamTarget && blend_ && !sharp_;
        // Streamed, LinearSharp's rows that pass the sharpen pass unchanged are made in the
        // row ring too and copied to the target from there, never read back from it.
        streamSharp_ = job.streamTarget && sharp_;
        // Simple and Linear write every target row once and never read it back.
        streamSingle_ = job.streamTarget && !blend_ && !sharp_;
    }

    size_t Run();

private:
    uint8_t* Scratch(int i) const { return job_.scratch + i * job_.scratchStride; }

    const uint8_t* Src(int64_t y);
    const uint8_t* Deinterlaced(int64_t y, uint8_t* dst, bool expand);
    const uint8_t* AsRow(const uint8_t* row, uint8_t* dst, bool expand, int64_t y);
    // The byte layout seen from row y of the L-byte run: which table its even bytes take.
    bool RowLumaOnEven(int64_t y) const { return lumaOnEven_ != (((y * r_) & 1) != 0); }
    int64_t SimpleSourceRow(int64_t y) const;
    const uint8_t* Blend(int64_t y, uint8_t* dst, bool expand);
    const uint8_t* OldRow(int i, int64_t y) const;
    uint8_t* NewRow(int i, int64_t y) const;
    void StoreOtherField(int64_t y);
    void ProduceSharpRow(int64_t y);
    // An interpolated inner row of LinearSharp without YC expansion is the average of its two
    // neighbours, which are source rows; sharpening it against that same average gives it
    // back unchanged, so it goes straight to the target.
    bool PassesSharpenUnchanged(int64_t y) const {
        return job_.mode == kLinearSharp && !ycAfter_ && y >= 1 && y + 1 < g_.rows &&
               !IsStoredRow(y, job_.field, g_.rows);
    }
    void EmitSharpened(int64_t y);
    bool SharpBlendsDirectly() const;
    void RunSharpBlendDirect();
    void ExpandRowPart(uint8_t* t, const uint8_t* s, int64_t y) const;
    uint8_t* Target(int64_t y) {
        uint8_t* t = g_.TargetRow(y);
        return t != nullptr ? t : sink_;
    }

    const DeinterlaceJob& job_;
    const RowKernels& k_;
    const FrameGeometry g_;
    const int64_t r_;
    const size_t n_;
    const uint8_t* const src_;
    const size_t length_;
    const int64_t groupEnd_;  // end of the last whole 4-byte group of the L-byte run
    bool sharp_ = false;
    bool blend_ = false;
    bool ycSource_ = false;
    bool ycAfter_ = false;
    bool lumaOnEven_ = false;
    bool blendToFrame_ = false;
    bool streamSharp_ = false;
    bool streamSingle_ = false;
    uint8_t* srcRing_[4] = {};
    int64_t srcTag_[4] = {-1, -1, -1, -1};
    uint8_t* dRing_[4] = {};
    const uint8_t* dRow_[4] = {};
    uint8_t* sink_ = nullptr;   // target rows past the output's end are computed into this
    int64_t renewedRow_ = -1;   // the other field picture's row last renewed inside Blend
    bool renewInBlend_ = true;  // false where the rows renew the other picture themselves
};

// Row y of the L-byte run expanded as one run: bytes before the run's last whole 4-byte group
// ends take the tables (which table by the byte's position in the run). The bytes after it
// stay as they are: in place they are left alone; into a separate row they come from the
// staging buffer when the expansion comes before deinterlacing (the algorithm expands into
// that buffer and leaves those bytes), else from the row itself.
void CDeinterlacer::ExpandRowPart(uint8_t* t, const uint8_t* s, int64_t y) const {
    const int64_t start = y * r_;
    const int64_t expanded = std::clamp<int64_t>(groupEnd_ - start, 0, r_);
    k_.ycExpand(t, s, static_cast<size_t>(expanded), lumaOnEven_ != ((start & 1) != 0));
    if (expanded < r_ && t != s) {
        const uint8_t* rest = ycSource_ ? job_.stage + start : s;
        std::memcpy(t + expanded, rest + expanded, static_cast<size_t>(r_ - expanded));
    }
}

const uint8_t* CDeinterlacer::Src(int64_t y) {
    const uint8_t* row = src_ + y * r_;
    if (!ycSource_) return row;
    const int slot = static_cast<int>(y & 3);
    if (srcTag_[slot] != y) {
        ExpandRowPart(srcRing_[slot], row, y);
        srcTag_[slot] = y;
    }
    return srcRing_[slot];
}

int64_t CDeinterlacer::SimpleSourceRow(int64_t y) const {
    const int64_t h = g_.rows;
    if ((y & 1) == job_.field) return y;
    if (y == 0) return 0;
    if (y == h - 1 && (h & 1) != 0) return y;
    return y - 1;
}

// Deinterlaced row y. With expand (YC expansion after deinterlacing, the whole row inside the
// expanded run) the row comes back YC-expanded in dst, computed and expanded in one pass.
const uint8_t* CDeinterlacer::Deinterlaced(int64_t y, uint8_t* dst, bool expand) {
    switch (job_.mode) {
        case kSimple:
            return AsRow(Src(SimpleSourceRow(y)), dst, expand, y);
        case kLinear:
        case kLinearSharp:
            if (IsStoredRow(y, job_.field, g_.rows)) return AsRow(Src(y), dst, expand, y);
            if (expand) {
                k_.averageExpand(dst, Src(y - 1), Src(y + 1), n_, RowLumaOnEven(y));
            } else {
                (streamSingle_ ? k_.averageToFrame : k_.average)(dst, Src(y - 1), Src(y + 1), n_);
            }
            return dst;
        case kBlend:
        case kBlendSharp:
            return Blend(y, dst, expand);
        default:
            return AsRow(Src(y), dst, expand, y);
    }
}

// A source row as deinterlaced row y: itself, or its expansion in dst.
const uint8_t* CDeinterlacer::AsRow(const uint8_t* row, uint8_t* dst, bool expand, int64_t y) {
    if (!expand) return row;
    k_.ycExpand(dst, row, n_, RowLumaOnEven(y));
    return dst;
}

// Row y of field picture i in the form the frame found it: every row in place when plain,
// else (the same geometry, see Run) a stored row at its packed place.
const uint8_t* CDeinterlacer::OldRow(int i, int64_t y) const {
    const int64_t at = job_.forms[i]->rowBytes == 0 ? y : PackedRowIndex(y, i, g_.rows);
    return job_.fieldPictures[i] + at * r_;
}

// Where this frame stores row y of field picture i: its packed place. Writing a plain picture
// this way is safe while it is still read, because a row's packed place is never below its own
// and a plain row y is last read for target row y, before anything is packed over it.
uint8_t* CDeinterlacer::NewRow(int i, int64_t y) const {
    return job_.fieldPictures[i] + PackedRowIndex(y, i, g_.rows) * r_;
}

// Buffer 1 (even field) is always the first argument of the average. Inside the picture each
// row is stored in exactly one of the two field pictures and interpolated in the other, so the
// blend is one stored row averaged with the average of two rows.
const uint8_t* CDeinterlacer::Blend(int64_t y, uint8_t* dst, bool expand) {
    const bool le = RowLumaOnEven(y);
    const int c = job_.field;
    const int other = 1 - c;
    const bool otherStored = job_.forms[other]->rowBytes == 0 || IsStoredRow(y, other, g_.rows);
    if (IsStoredRow(y, c, g_.rows)) {
        const uint8_t* fresh = Src(y);
        uint8_t* keep = NewRow(c, y);
        if (otherStored) {
            std::memcpy(keep, fresh, n_);
            const uint8_t* o = OldRow(other, y);
            const uint8_t* a = c == 0 ? fresh : o;
            const uint8_t* b = c == 0 ? o : fresh;
            if (expand) {
                k_.averageExpand(dst, a, b, n_, le);
            } else {
                k_.average(dst, a, b, n_);
            }
        } else {
            // This row is the last to read the other picture's row y - 1, so that row is
            // renewed here, while it is in cache (compact, so its old and new places agree).
            const uint8_t* renew = nullptr;
            if (job_.keepOtherField && renewInBlend_) {
                renew = Src(y - 1);
                renewedRow_ = y - 1;
            }
            uint8_t* up = NewRow(other, y - 1);
            const uint8_t* down = OldRow(other, y + 1);
            if (expand) {
                k_.blendKeepExpand(dst, fresh, up, down, n_, c == 0, keep, renew, le);
            } else {
                const auto blendKeep = blendToFrame_ ? k_.blendKeepToFrame : k_.blendKeep;
                blendKeep(dst, fresh, up, down, n_, c == 0, keep, renew);
            }
        }
    } else {
        // An inner row of the other field's parity: stored in the other picture.
        const uint8_t* x = OldRow(other, y);
        if (expand) {
            k_.averageNestedExpand(dst, x, Src(y - 1), Src(y + 1), n_, other == 0, le);
        } else {
            const auto nested = blendToFrame_ ? k_.averageNestedToFrame : k_.averageNested;
            nested(dst, x, Src(y - 1), Src(y + 1), n_, other == 0);
        }
    }
    return dst;
}

// The other field's picture of this frame replaces the previous one; called once the rows
// that read the previous picture's row y (y - 1 .. y + 1) are done.
void CDeinterlacer::StoreOtherField(int64_t y) {
    const int other = 1 - job_.field;
    if (IsStoredRow(y, other, g_.rows)) {
        std::memcpy(NewRow(other, y), Src(y), n_);
    }
}

// Deinterlaces row y for the sharpen pass: the staging buffer keeps the bytes a later frame
// can read (those past the last whole group of the run), then the row is YC-expanded. A row
// wholly inside the expanded run has no such bytes and is expanded as it is deinterlaced.
void CDeinterlacer::ProduceSharpRow(int64_t y) {
    const int slot = static_cast<int>(y & 3);
    uint8_t* into = dRing_[slot];
    if (PassesSharpenUnchanged(y) && !streamSharp_) {
        if (uint8_t* t = g_.TargetRow(y)) into = t;
    }
    const int64_t start = y * r_;
    const bool expanded = ycAfter_ && start + r_ <= groupEnd_;
    const uint8_t* d = Deinterlaced(y, into, expanded);
    const int64_t from = std::max(start, groupEnd_);
    const int64_t to = std::min<int64_t>(start + r_, static_cast<int64_t>(length_));
    if (from < to) {
        std::memcpy(job_.stage + from, d + (from - start), static_cast<size_t>(to - from));
    }
    if (ycAfter_ && !expanded) {
        ExpandRowPart(dRing_[slot], d, y);
        d = dRing_[slot];
    }
    dRow_[slot] = d;
}

void CDeinterlacer::EmitSharpened(int64_t y) {
    const int64_t h = g_.rows;
    uint8_t* t = Target(y);
    const uint8_t* b = dRow_[y & 3];
    if (PassesSharpenUnchanged(y)) {
        if (b != t) (streamSharp_ ? k_.copyToFrame : scalar::CopyRow)(t, b, n_);
    } else if (h < 2) {
        std::memcpy(t, b, n_);
    } else if (y == 0) {
        k_.sharpen(t, b, dRow_[1], n_);
    } else if (y == h - 1) {
        k_.sharpen(t, b, dRow_[(y - 1) & 3], n_);
    } else {
        const auto sharpen = streamSharp_ ? k_.sharpenAverageToFrame : k_.sharpenAverage;
        sharpen(t, b, dRow_[(y - 1) & 3], dRow_[(y + 1) & 3], n_);
    }
}

// BlendSharp without YC expansion over a compact other picture: each inner target row is
// computed straight from the source and the other picture (its three blended rows are cheaper
// to compute again than to store and load back). Short rows and pictures stay on the row ring.
bool CDeinterlacer::SharpBlendsDirectly() const {
    return job_.mode == kBlendSharp && !ycAfter_ && k_.blendSharpCurrent != nullptr &&
           job_.forms[1 - job_.field]->rowBytes != 0 && g_.rows >= 6 && r_ >= 64;
}

// The rows near the top and bottom edges go through the row ring as usual (without renewing
// the other picture); the inner rows renew the other picture's row y - 2, its last reader
// being target row y; the other picture's rows left over are renewed at the end.
void CDeinterlacer::RunSharpBlendDirect() {
    const int64_t h = g_.rows;
    const int c = job_.field;
    const int other = 1 - c;
    const bool renew = job_.keepOtherField;
    renewInBlend_ = false;
    for (int64_t y = 0; y < 3; ++y) ProduceSharpRow(y);
    EmitSharpened(0);
    EmitSharpened(1);
    for (int64_t y = 2; y <= h - 3; ++y) {
        const uint8_t* s = src_ + y * r_;
        if ((y & 1) == c) {
            k_.blendSharpCurrent(Target(y), s, s - 2 * r_, s + 2 * r_, OldRow(other, y - 1),
                                 OldRow(other, y + 1), n_, c == 0, NewRow(c, y), job_.streamTarget);
        } else {
            k_.blendSharpOther(Target(y), OldRow(other, y), NewRow(other, y - 2),
                               OldRow(other, y + 2), s - r_, s + r_, n_, c == 0,
                               renew ? s - 2 * r_ : nullptr, job_.streamTarget);
        }
    }
    for (int64_t y = h - 3; y < h; ++y) ProduceSharpRow(y);
    EmitSharpened(h - 2);
    EmitSharpened(h - 1);
    if (!renew) return;
    for (int64_t j = 0; j < h; ++j) {
        const bool renewed = (j & 1) == other && j <= h - 5;
        if (IsStoredRow(j, other, h) && !renewed) {
            std::memcpy(NewRow(other, j), src_ + j * r_, n_);
        }
    }
}

size_t CDeinterlacer::Run() {
    const int64_t h = g_.rows;
    const bool storeOther = blend_ && job_.keepOtherField;
    if (blend_) {
        // A compact picture of another geometry would be read with the wrong rows.
        for (int i = 0; i < 2; ++i) {
            FieldPictureForm& form = *job_.forms[i];
            if (form.rowBytes != 0 && (form.rowBytes != r_ || form.rows != h)) {
                ExpandFieldPicture(job_.fieldPictures[i], i, form, k_);
            }
        }
    }
    const bool direct = SharpBlendsDirectly();
    if (direct) RunSharpBlendDirect();
    for (int64_t y = 0; y < h && !direct; ++y) {
        if (sharp_) {
            ProduceSharpRow(y);
            if (y >= 1) EmitSharpened(y - 1);
        } else {
            uint8_t* t = Target(y);
            const uint8_t* d = Deinterlaced(y, t, false);
            if (d != t) (streamSingle_ ? k_.copyToFrame : scalar::CopyRow)(t, d, n_);
        }
        if (storeOther && y >= 1 && renewedRow_ != y - 1) StoreOtherField(y - 1);
    }
    if (h >= 1 && !direct) {
        if (sharp_) EmitSharpened(h - 1);
        if (storeOther) StoreOtherField(h - 1);
    }
    if (blend_) {
        *job_.forms[job_.field] = FieldPictureForm{r_, h};
        if (storeOther) *job_.forms[1 - job_.field] = FieldPictureForm{r_, h};
    }
    if (job_.streamTarget) k_.finishFrame();
    return g_.ProducedBytes();
}

}  // namespace

size_t RunDeinterlace(const DeinterlaceJob& job) {
    CDeinterlacer d(job);
    return d.Run();
}

}  // namespace lumoka
