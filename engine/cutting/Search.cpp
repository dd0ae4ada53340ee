#include "cutting/Search.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace engine::detail {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// Weights of the insertion score. Height taken from the plate is the scarce resource; area
// trimmed away is lost for good; room left above a piece can still take smaller pieces.
constexpr double kHeightWeight = 1.0;
constexpr double kTrimWeight = 1.0;
constexpr double kGapWeight = 0.3;
// Chance that recreate passes over a candidate position: enough noise to leave plateaus
// without losing the greedy's sense of a good position.
constexpr double kBlink = 0.05;
// Ruin: how many plates, and how much of each, a step shakes loose.
constexpr int kMaxRuinBins = 3;
constexpr int kMaxRuinPieces = 4;
constexpr int kMaxRuinStacks = 3;
constexpr double kStripProb = 0.35;
constexpr double kStackProb = 0.35;
// The fast first plan only looks at the last few plates opened: linear in the number of pieces.
constexpr size_t kFastWindow = 8;
// Pieces placed between two looks at the clock while building or refilling.
constexpr int kClockEvery = 16;
// Up to this many pieces the improvement loop reads the clock every 16 steps only.
constexpr int kSmallJob = 500;
// Chance that the plate to dissolve is taken from the least preferred level in use.
constexpr double kLowestLevelDissolve = 0.75;
// Steps without less area left loose after which the search goes back to the best plan and
// dissolves another plate: whether a plan one plate smaller is found within a second is partly
// a matter of where the search set out from.
constexpr int64_t kStallSteps = 100000;
// Loose pieces a step may swap for smaller placed ones.
constexpr int kSwapRounds = 3;

}  // namespace

Search::Search(const Instance& instance, const Parameters& parameters)
    : inst_(instance), params_(parameters), rng_(parameters.seed) {
    geo_.kerf = instance.rules().kerf;
    geo_.minGap = instance.rules().minCutDistance;
    for (const ItemType& it : instance.itemTypes()) {
        itemCost_.push_back(static_cast<double>(it.cutArea()));
    }
    for (const PlateType& p : instance.plateTypes()) {
        plateArea_.push_back(static_cast<double>(p.width * p.height));
        plateRank_.push_back(p.rank);
    }
    ranks_ = std::max(1, instance.rankCount());
    rankPieces();
}

double Search::elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

bool Search::stopPressed() { return params_.stop && params_.stop->load(std::memory_order_relaxed); }

bool Search::timeUp() {
    if (stopped_) {
        return true;
    }
    if (stopPressed()) {
        stopped_ = true;
    } else if (params_.iterationLimit >= 0 && iterations_ >= params_.iterationLimit) {
        stopped_ = true;
    } else {
        // A step of a small job takes microseconds, where reading the clock every time costs a
        // few per cent of the steps; one of a large job can take milliseconds.
        const bool look = (iterations_ & 15) == 0 || inst_.pieceCount() > kSmallJob;
        stopped_ = look && elapsed() >= params_.timeLimit;
    }
    return stopped_;
}

bool Search::expired() { return stopPressed() || elapsed() >= params_.timeLimit; }

// After the limit the plan may still be tidied for a tenth of the limit and a little more, so
// the call returns within the limit plus 10 % plus half a second, whatever the job.
bool Search::graceExpired() { return stopPressed() || elapsed() >= params_.timeLimit * 1.1 + 0.3; }

// ---------------------------------------------------------------------------------------------
// Costs

void Search::addPlate(Cost& c, int plate, double sign) const {
    c.byRank[static_cast<size_t>(plateRank_[static_cast<size_t>(plate)])] +=
        sign * plateArea_[static_cast<size_t>(plate)];
}

bool Search::costLess(const Cost& a, const Cost& b) const {
    for (size_t r = b.byRank.size(); r-- > 0;) {
        const double tol = costTolerance(b.byRank[r]);
        if (a.byRank[r] < b.byRank[r] - tol) {
            return true;
        }
        if (a.byRank[r] > b.byRank[r] + tol) {
            return false;
        }
    }
    return false;
}

// Whether `a` with one more plate of type `plate` still costs less than `b`.
bool Search::lessWithPlate(const Cost& a, int plate, const Cost& b) const {
    const size_t pr = static_cast<size_t>(plateRank_[static_cast<size_t>(plate)]);
    for (size_t r = b.byRank.size(); r-- > 0;) {
        const double v = a.byRank[r] + (r == pr ? plateArea_[static_cast<size_t>(plate)] : 0.0);
        const double tol = costTolerance(b.byRank[r]);
        if (v < b.byRank[r] - tol) {
            return true;
        }
        if (v > b.byRank[r] + tol) {
            return false;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Moves

// Places of the piece types in each sorted order, computed once: sorting the loose pieces of
// every step then compares two numbers.
void Search::rankPieces() {
    const int types = static_cast<int>(inst_.itemTypes().size());
    for (int order = 0; order < kSortOrders; ++order) {
        std::vector<int> byKey(static_cast<size_t>(types));
        std::iota(byKey.begin(), byKey.end(), 0);
        auto key = [this, order](int i) { return sortKey(i, order); };
        std::stable_sort(byKey.begin(), byKey.end(), [&key](int a, int b) { return key(a) > key(b); });
        std::vector<int>& rank = sortRank_[static_cast<size_t>(order)];
        rank.assign(static_cast<size_t>(types), 0);
        for (size_t k = 0; k < byKey.size(); ++k) {
            // Equal keys share a place, so the sort keeps their order as it finds it.
            rank[static_cast<size_t>(byKey[k])] = k > 0 && key(byKey[k]) == key(byKey[k - 1])
                                                      ? rank[static_cast<size_t>(byKey[k - 1])]
                                                      : static_cast<int>(k);
        }
    }
}

std::pair<Length, Length> Search::sortKey(int i, int order) const {
    const ItemType& it = inst_.item(i);
    const Length a = std::max(it.cutWidth, it.cutHeight);
    const Length b = std::min(it.cutWidth, it.cutHeight);
    switch (order) {
        case 0:
            return {it.rotatable ? a : it.cutHeight, it.rotatable ? b : it.cutWidth};
        case 1:
            return {it.cutArea(), a};
        case 2:
            return {it.rotatable ? a : it.cutWidth, it.rotatable ? b : it.cutHeight};
        case 3:
            return {it.cutWidth + it.cutHeight, a};
        default:
            return {b, a};
    }
}

void Search::sortPieces(std::vector<int>& pieces, int order) {
    if (order >= kSortOrders) {
        for (size_t i = pieces.size(); i > 1; --i) {
            std::swap(pieces[i - 1], pieces[static_cast<size_t>(rng_.below(static_cast<int>(i)))]);
        }
        return;
    }
    const std::vector<int>& rank = sortRank_[static_cast<size_t>(order)];
    std::stable_sort(pieces.begin(), pieces.end(), [&rank](int a, int b) {
        return rank[static_cast<size_t>(a)] < rank[static_cast<size_t>(b)];
    });
}

bool Search::validAfter(const Bin& b, const Move& m, Length w, Length h) const {
    Strip s;
    if (m.strip >= 0) {
        s = b.strips[static_cast<size_t>(m.strip)];
    }
    if (m.strip < 0 || m.stack < 0) {
        Stack st;
        st.pieces.push_back(Piece{0, false, w, h});
        Refresh(st, geo_);
        s.stacks.push_back(st);
    } else {
        Stack& st = s.stacks[static_cast<size_t>(m.stack)];
        st.pieces.push_back(Piece{0, false, w, h});
        Refresh(st, geo_);
    }
    Refresh(s, geo_);
    if (!geo_.stripValid(s, b.W)) {
        return false;
    }
    Length used = 0;
    for (size_t t = 0; t < b.strips.size(); ++t) {
        used = geo_.append(used, static_cast<int>(t) == m.strip ? s.h : b.strips[t].h);
    }
    if (m.strip < 0) {
        used = geo_.append(used, s.h);
    }
    return used <= b.H && geo_.gapOk(b.H - used);
}

bool Search::evalBin(const Bin& b, int binIndex, int item, bool rotated, Length w, Length h, bool reframe,
                     Move& best) const {
    if (w > b.W || h > b.H) {
        return false;
    }
    bool possible = false;
    const Length k = geo_.kerf;
    const double W = static_cast<double>(b.W);
    const double tie = 1e-6 * binIndex;
    (void)item;
    auto consider = [&](double score, int strip, int stack) {
        possible = true;
        if (score >= best.score) {
            return;
        }
        if (blinks_ && rng_.chance(kBlink)) {
            return;
        }
        Move m;
        m.score = score;
        m.bin = binIndex;
        m.strip = strip;
        m.stack = stack;
        m.rotated = rotated;
        m.transposed = reframe ? !b.transposed : b.transposed;
        m.plate = b.plate;
        if (geo_.minGap > 0 && !validAfter(b, m, w, h)) {
            return;
        }
        best = m;
    };
    const Length slack = b.H - b.usedH;  // how much any strip may still grow
    for (size_t t = 0; t < b.strips.size(); ++t) {
        const Strip& s = b.strips[t];
        if (h > s.h + slack) {
            continue;  // too tall for this strip, even grown
        }
        for (size_t q = 0; q < s.stacks.size(); ++q) {
            const Stack& st = s.stacks[q];
            const Length nw = std::max(st.w, w);
            if (s.w + (nw - st.w) > b.W) {
                continue;
            }
            const Length nh = st.h + k + h;
            const Length sh = std::max(s.h, nh);
            const Length dH = sh - s.h;
            if (b.usedH + dH > b.H) {
                continue;
            }
            const double trim = static_cast<double>((nw - w) * h + (nw - st.w) * st.h);
            const double gap = static_cast<double>((sh - nh) * nw);
            consider(
                static_cast<double>(dH) * W * kHeightWeight + trim * kTrimWeight + gap * kGapWeight + tie,
                static_cast<int>(t), static_cast<int>(q));
        }
        if (s.w + k + w <= b.W) {
            const Length sh = std::max(s.h, h);
            const Length dH = sh - s.h;
            if (b.usedH + dH <= b.H) {
                const double gap = static_cast<double>((sh - h) * w);
                consider(static_cast<double>(dH) * W * kHeightWeight + gap * kGapWeight + tie,
                         static_cast<int>(t), -1);
            }
        }
    }
    const Length used = geo_.append(b.usedH, h);
    if (used <= b.H) {
        consider(static_cast<double>(used - b.usedH) * W * kHeightWeight + tie, -1, -1);
    }
    return possible;
}

void Search::findMove(State& s, int item, const Cost* budget, Move& best, bool newPlates, size_t firstBin) {
    const ItemType& it = inst_.item(item);
    const Area area = it.cutArea();
    const bool turn = it.rotatable && it.cutWidth != it.cutHeight;
    for (size_t i = firstBin; i < s.bins.size(); ++i) {
        Bin& b = s.bins[i];
        if (b.W * b.H - b.area < area || b.refused.has(item)) {
            continue;
        }
        const bool canReframe = b.pieceCount == 0 && inst_.plate(b.plate).firstCut == FirstCut::Either;
        bool possible = false;
        for (int r = 0; r <= (turn ? 1 : 0); ++r) {
            Length w, h;
            FrameSize(inst_, item, r == 1, b.transposed, w, h);
            possible = evalBin(b, static_cast<int>(i), item, r == 1, w, h, false, best) || possible;
            if (canReframe) {
                Bin other;
                MakeEmptyBin(other, inst_, b.plate, !b.transposed);
                FrameSize(inst_, item, r == 1, other.transposed, w, h);
                possible = evalBin(other, static_cast<int>(i), item, r == 1, w, h, true, best) || possible;
            }
        }
        if (!possible) {
            b.refused.add(item);
        }
    }
    if (best.valid() || !newPlates) {
        return;
    }
    // A new plate, the most preferred first; within one preference level the larger first.
    const std::vector<int>& pref = inst_.preferenceOrder();
    int chosenRank = -1;
    Area chosenArea = 0;
    for (int p : pref) {
        const PlateType& pt = inst_.plate(p);
        if (chosenRank >= 0 && pt.rank != chosenRank) {
            break;
        }
        if ((!pt.unlimited() && s.stockUsed[static_cast<size_t>(p)] >= pt.quantity) ||
            (budget && !lessWithPlate(s.binCost, p, *budget))) {
            continue;
        }
        const Area a = pt.usableWidth() * pt.usableHeight();
        if (chosenRank >= 0 && a <= chosenArea) {
            continue;
        }
        for (int tr = 0; tr < 2; ++tr) {
            const CutDirection d = tr ? CutDirection::Vertical : CutDirection::Horizontal;
            if (!Allows(pt.firstCut, d)) {
                continue;
            }
            Bin b;
            MakeEmptyBin(b, inst_, p, tr == 1);
            for (int r = 0; r <= (turn ? 1 : 0); ++r) {
                Length w, h;
                FrameSize(inst_, item, r == 1, b.transposed, w, h);
                Move m;
                evalBin(b, -1, item, r == 1, w, h, false, m);
                if (m.valid() && (chosenRank < 0 || a > chosenArea || m.score < best.score)) {
                    best = m;
                    best.bin = -1;
                    best.plate = p;
                    best.transposed = tr == 1;
                    chosenRank = pt.rank;
                    chosenArea = a;
                }
            }
        }
    }
}

void Search::apply(State& s, int item, const Move& m) {
    int bi = m.bin;
    if (bi < 0) {
        Bin b;
        MakeEmptyBin(b, inst_, m.plate, m.transposed);
        s.bins.push_back(std::move(b));
        ++s.stockUsed[static_cast<size_t>(m.plate)];
        addPlate(s.binCost, m.plate, 1.0);
        bi = static_cast<int>(s.bins.size()) - 1;
    } else {
        touch(s, bi);
    }
    Bin& b = s.bins[static_cast<size_t>(bi)];
    if (b.pieceCount == 0 && b.transposed != m.transposed) {
        MakeEmptyBin(b, inst_, b.plate, m.transposed);
    }
    Piece p;
    p.item = item;
    p.rotated = m.rotated;
    FrameSize(inst_, item, m.rotated, b.transposed, p.w, p.h);
    if (m.strip < 0) {
        Strip strip;
        Stack st;
        st.pieces.push_back(p);
        Refresh(st, geo_);
        strip.stacks.push_back(std::move(st));
        Refresh(strip, geo_);
        b.strips.push_back(std::move(strip));
    } else {
        Strip& strip = b.strips[static_cast<size_t>(m.strip)];
        if (m.stack < 0) {
            Stack st;
            st.pieces.push_back(p);
            Refresh(st, geo_);
            strip.stacks.push_back(std::move(st));
        } else {
            Stack& st = strip.stacks[static_cast<size_t>(m.stack)];
            st.pieces.push_back(p);
            Refresh(st, geo_);
        }
        Refresh(strip, geo_);
    }
    RefreshHeight(b, geo_);
    b.area += p.w * p.h;
    ++b.pieceCount;
    b.refused.clear();
}

void Search::place(State& s, int item, const Cost* budget, size_t firstBin) {
    Move m;
    findMove(s, item, budget, m, true, firstBin);
    if (m.valid()) {
        apply(s, item, m);
    } else {
        leaveLoose(s, item);
    }
}

void Search::leaveLoose(State& s, int item) {
    s.unplaced.push_back(item);
    s.unplacedCost += itemCost_[static_cast<size_t>(item)];
}

void Search::removePiece(State& s, int bin, int strip, int stack, int index) {
    Bin& b = s.bins[static_cast<size_t>(bin)];
    Strip& sp = b.strips[static_cast<size_t>(strip)];
    Stack& st = sp.stacks[static_cast<size_t>(stack)];
    const Piece p = st.pieces[static_cast<size_t>(index)];
    st.pieces.erase(st.pieces.begin() + index);
    if (st.pieces.empty()) {
        sp.stacks.erase(sp.stacks.begin() + stack);
    } else {
        Refresh(st, geo_);
    }
    if (sp.stacks.empty()) {
        b.strips.erase(b.strips.begin() + strip);
    } else {
        Refresh(sp, geo_);
    }
    RefreshHeight(b, geo_);
    b.area -= p.w * p.h;
    --b.pieceCount;
    b.refused.clear();
    leaveLoose(s, p.item);
}

// Removing pieces can leave waste too thin to break off (minimum distance between cuts); take
// out more pieces until the plate can be cut again.
void Search::repair(State& s, int bin) {
    Bin& b = s.bins[static_cast<size_t>(bin)];
    for (int guard = 0; guard < 100000 && !geo_.binValid(b); ++guard) {
        bool removed = false;
        for (size_t t = 0; t < b.strips.size() && !removed; ++t) {
            const Strip& sp = b.strips[t];
            if (sp.w > b.W || !geo_.gapOk(b.W - sp.w)) {
                removePiece(s, bin, static_cast<int>(t), static_cast<int>(sp.stacks.size()) - 1, 0);
                removed = true;
                break;
            }
            for (size_t q = 0; q < sp.stacks.size() && !removed; ++q) {
                const Stack& st = sp.stacks[q];
                if (!geo_.gapOk(sp.h - st.h)) {
                    removePiece(s, bin, static_cast<int>(t), static_cast<int>(q),
                                static_cast<int>(st.pieces.size()) - 1);
                    removed = true;
                    break;
                }
                for (size_t i = 0; i < st.pieces.size(); ++i) {
                    if (!geo_.gapOk(st.w - st.pieces[i].w)) {
                        removePiece(s, bin, static_cast<int>(t), static_cast<int>(q), static_cast<int>(i));
                        removed = true;
                        break;
                    }
                }
            }
        }
        if (!removed && !b.strips.empty()) {
            // The leftover above the strips is too thin: give up the top strip.
            const int t = static_cast<int>(b.strips.size()) - 1;
            removePiece(s, bin, t, 0, 0);
        } else if (!removed) {
            break;
        }
    }
}

void Search::dropEmptyBins(State& s) {
    size_t out = 0;
    for (size_t i = 0; i < s.bins.size(); ++i) {
        if (s.bins[i].pieceCount == 0) {
            --s.stockUsed[static_cast<size_t>(s.bins[i].plate)];
            addPlate(s.binCost, s.bins[i].plate, -1.0);
            continue;
        }
        if (out != i) {
            s.bins[out] = std::move(s.bins[i]);
        }
        ++out;
    }
    s.bins.resize(out);
}

void Search::startState(State& s) const {
    s.bins.clear();
    s.unplaced.clear();
    s.stockUsed.assign(inst_.plateTypes().size(), 0);
    s.binCost.byRank.assign(static_cast<size_t>(ranks_), 0.0);
    s.unplacedCost = 0.0;
}

// Places every piece in the given order. With a window only the last plates opened are looked
// at. The fast first plan (`mustFinish`) always runs to its end; any other build gives up when
// the time is out and returns false.
bool Search::buildGreedy(State& s, int order, size_t window, bool mustFinish) {
    startState(s);
    std::vector<int> pieces;
    for (size_t i = 0; i < inst_.itemTypes().size(); ++i) {
        pieces.insert(pieces.end(), static_cast<size_t>(inst_.itemTypes()[i].quantity), static_cast<int>(i));
    }
    sortPieces(pieces, order);
    savedBinCount_ = 0;  // nothing to undo while building
    int sinceClock = 0;
    for (int item : pieces) {
        if (!mustFinish && ++sinceClock == kClockEvery) {
            sinceClock = 0;
            if (expired()) {
                return false;
            }
        }
        place(s, item, nullptr, window > 0 && s.bins.size() > window ? s.bins.size() - window : 0);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Ruin and recreate

void Search::touch(State& s, int bin) {
    if (static_cast<size_t>(bin) >= savedBinCount_ || touchedFlag_[static_cast<size_t>(bin)]) {
        return;
    }
    touchedFlag_[static_cast<size_t>(bin)] = 1;
    // Saved copies are kept between steps so their storage is reused, not reallocated.
    if (savedBins_.size() <= touchedBins_.size()) {
        savedBins_.emplace_back();
    }
    savedBins_[touchedBins_.size()] = s.bins[static_cast<size_t>(bin)];
    touchedBins_.push_back(bin);
}

void Search::restore(State& s) {
    s.bins.resize(savedBinCount_);
    for (size_t i = 0; i < touchedBins_.size(); ++i) {
        std::swap(s.bins[static_cast<size_t>(touchedBins_[i])], savedBins_[i]);
    }
    s.unplaced = savedUnplaced_;
    s.stockUsed = savedStock_;
    s.binCost = savedBinCost_;
    s.unplacedCost = savedUnplacedCost_;
}

void Search::ruin(State& s) {
    std::vector<int>& filled = filledScratch_;
    filled.clear();
    for (size_t i = 0; i < s.bins.size(); ++i) {
        if (s.bins[i].pieceCount > 0) {
            filled.push_back(static_cast<int>(i));
        }
    }
    if (filled.empty()) {
        return;
    }
    const int count = 1 + rng_.below(std::min<int>(kMaxRuinBins, static_cast<int>(filled.size())));
    for (int c = 0; c < count; ++c) {
        const int bi = filled[static_cast<size_t>(rng_.below(static_cast<int>(filled.size())))];
        Bin& b = s.bins[static_cast<size_t>(bi)];
        if (b.pieceCount == 0) {
            continue;
        }
        touch(s, bi);
        const int t = rng_.below(static_cast<int>(b.strips.size()));
        const double op = rng_.uniform();
        if (op < kStripProb) {
            int pieces = 0;
            for (const Stack& st : b.strips[static_cast<size_t>(t)].stacks) {
                pieces += static_cast<int>(st.pieces.size());
            }
            for (int i = 0; i < pieces; ++i) {
                removePiece(s, bi, t, 0, 0);  // the strip vanishes with its last piece
            }
        } else if (op < kStripProb + kStackProb) {
            const Strip& sp = b.strips[static_cast<size_t>(t)];
            const int n = static_cast<int>(sp.stacks.size());
            const int first = rng_.below(n);
            const int len = 1 + rng_.below(std::min(n - first, kMaxRuinStacks));
            for (int q = first + len - 1; q >= first; --q) {
                const int strips = static_cast<int>(b.strips.size());
                const int pieces = static_cast<int>(
                    b.strips[static_cast<size_t>(t)].stacks[static_cast<size_t>(q)].pieces.size());
                for (int i = pieces - 1; i >= 0; --i) {
                    removePiece(s, bi, t, q, i);
                }
                if (static_cast<int>(b.strips.size()) != strips) {
                    break;  // the strip went with its last stack
                }
            }
        } else {
            const int n = 1 + rng_.below(std::min(b.pieceCount, kMaxRuinPieces));
            for (int r = 0; r < n && b.pieceCount > 0; ++r) {
                const int ts = rng_.below(static_cast<int>(b.strips.size()));
                const Strip& sp = b.strips[static_cast<size_t>(ts)];
                const int q = rng_.below(static_cast<int>(sp.stacks.size()));
                const int i = rng_.below(static_cast<int>(sp.stacks[static_cast<size_t>(q)].pieces.size()));
                removePiece(s, bi, ts, q, i);
            }
        }
        if (geo_.minGap > 0) {
            repair(s, bi);
        }
    }
}

void Search::recreate(State& s, const Cost* budget) {
    // The loose list and this scratch list trade their storage, so no step allocates for them.
    std::vector<int>& pieces = recreateScratch_;
    pieces.clear();
    pieces.swap(s.unplaced);
    const int order = rng_.below(7);
    sortPieces(pieces, order < 5 ? order : (order == 5 ? 0 : 5));
    s.unplacedCost = 0.0;
    int sinceClock = 0;
    for (size_t k = 0; k < pieces.size(); ++k) {
        const int item = pieces[k];
        if (++sinceClock == kClockEvery) {
            sinceClock = 0;
            if (expired()) {
                // Out of time: the rest stays loose, so the step counts as worse and is undone.
                for (size_t r = k; r < pieces.size(); ++r) {
                    leaveLoose(s, pieces[r]);
                }
                return;
            }
        }
        place(s, item, budget);
    }
}

// Whether the stack may become `w` wide and `h` tall: its strip still fits the plate's width,
// the plate's height still takes the strip, and with a minimum distance between cuts the plate
// as `edit` leaves the stack can still be cut.
template <typename Edit>
bool Search::stackChangeFits(const Bin& b, int strip, int stack, Length w, Length h, Edit edit) const {
    const Strip& sp = b.strips[static_cast<size_t>(strip)];
    const Stack& st = sp.stacks[static_cast<size_t>(stack)];
    if (sp.w - st.w + w > b.W) {
        return false;
    }
    Length stripH = h;
    for (size_t q = 0; q < sp.stacks.size(); ++q) {
        if (static_cast<int>(q) != stack) {
            stripH = std::max(stripH, sp.stacks[q].h);
        }
    }
    if (b.usedH - sp.h + stripH > b.H) {
        return false;
    }
    if (geo_.minGap > 0) {
        Bin copy = b;
        Stack& cs = copy.strips[static_cast<size_t>(strip)].stacks[static_cast<size_t>(stack)];
        edit(cs);
        Refresh(cs, geo_);
        Refresh(copy.strips[static_cast<size_t>(strip)], geo_);
        RefreshHeight(copy, geo_);
        return geo_.binValid(copy);
    }
    return true;
}

// Whether piece `first` of the stack, and piece `second` too unless it is -1, may give their
// place to a piece of frame size w x h.
bool Search::swapFits(const Bin& b, int strip, int stack, int first, int second, Length w, Length h) const {
    const Stack& st = b.strips[static_cast<size_t>(strip)].stacks[static_cast<size_t>(stack)];
    Length sw = w;
    for (size_t i = 0; i < st.pieces.size(); ++i) {
        if (static_cast<int>(i) != first && static_cast<int>(i) != second) {
            sw = std::max(sw, st.pieces[i].w);
        }
    }
    Length removed = st.pieces[static_cast<size_t>(first)].h;
    if (second >= 0) {
        removed += geo_.kerf + st.pieces[static_cast<size_t>(second)].h;
    }
    return stackChangeFits(b, strip, stack, sw, st.h - removed + h, [&](Stack& cs) {
        cs.pieces[static_cast<size_t>(first)].w = w;
        cs.pieces[static_cast<size_t>(first)].h = h;
        if (second >= 0) {
            cs.pieces.erase(cs.pieces.begin() + second);
        }
    });
}

// Whether a piece of frame size w x h may take the place of the whole stack.
bool Search::stackSwapFits(const Bin& b, int strip, int stack, Length w, Length h) const {
    return stackChangeFits(b, strip, stack, w, h, [&](Stack& cs) {
        cs.pieces.resize(1);
        cs.pieces[0].w = w;
        cs.pieces[0].h = h;
    });
}

// A loose piece that fits nowhere may still take the place of one or two smaller pieces of a
// stack, or of a whole stack of smaller pieces: less area is left loose, and the pieces freed
// may find room elsewhere or wait for a later step. Of the places possible the one that frees
// the least area wins.
void Search::swapIn(State& s, const Cost* budget) {
    for (int round = 0; round < kSwapRounds && !s.unplaced.empty(); ++round) {
        size_t li = 0;  // the largest loose piece
        for (size_t i = 1; i < s.unplaced.size(); ++i) {
            if (itemCost_[static_cast<size_t>(s.unplaced[i])] >
                itemCost_[static_cast<size_t>(s.unplaced[li])]) {
                li = i;
            }
        }
        const int item = s.unplaced[li];
        const ItemType& it = inst_.item(item);
        const double cost = itemCost_[static_cast<size_t>(item)];
        const bool turn = it.rotatable && it.cutWidth != it.cutHeight;
        double bestFreed = kInf;
        int bb = -1, bt = -1, bq = -1, bi = -1, bj = -1;  // bj: the second piece, -1 none, -2 all
        bool brot = false;
        auto take = [&](double freed, size_t b, size_t t, size_t q, int i, int j, int r) {
            bestFreed = freed;
            bb = static_cast<int>(b);
            bt = static_cast<int>(t);
            bq = static_cast<int>(q);
            bi = i;
            bj = j;
            brot = r == 1;
        };
        for (size_t b = 0; b < s.bins.size(); ++b) {
            const Bin& bin = s.bins[b];
            Length fw[2], fh[2];
            for (int r = 0; r < 2; ++r) {
                FrameSize(inst_, item, r == 1, bin.transposed, fw[r], fh[r]);
            }
            const Length slackH = bin.H - bin.usedH;
            for (size_t t = 0; t < bin.strips.size(); ++t) {
                const Strip& sp = bin.strips[t];
                const Length slackW = bin.W - sp.w;
                if (fh[0] > sp.h + slackH && (!turn || fh[1] > sp.h + slackH)) {
                    continue;  // taller than the strip can grow, whatever gives way
                }
                for (size_t q = 0; q < sp.stacks.size(); ++q) {
                    const Stack& st = sp.stacks[q];
                    const bool wide[2] = {fw[0] <= st.w + slackW, turn && fw[1] <= st.w + slackW};
                    if (!wide[0] && !wide[1]) {
                        continue;
                    }
                    const int n = static_cast<int>(st.pieces.size());
                    if (n > 2) {
                        // The whole stack gives way.
                        double freed = 0.0;
                        for (const Piece& pc : st.pieces) {
                            freed += itemCost_[static_cast<size_t>(pc.item)];
                        }
                        if (freed < cost && freed < bestFreed) {
                            for (int r = 0; r <= (turn ? 1 : 0); ++r) {
                                if (!wide[r] || fh[r] > sp.h + slackH || rng_.chance(kBlink) ||
                                    !stackSwapFits(bin, static_cast<int>(t), static_cast<int>(q), fw[r],
                                                   fh[r])) {
                                    continue;
                                }
                                take(freed, b, t, q, 0, -2, r);
                                break;
                            }
                        }
                    }
                    for (int i = 0; i < n; ++i) {
                        const Piece& pi = st.pieces[static_cast<size_t>(i)];
                        const double ci = itemCost_[static_cast<size_t>(pi.item)];
                        if (ci >= cost || ci >= bestFreed) {
                            continue;
                        }
                        for (int j = i; j < n; ++j) {
                            const Piece& pj = st.pieces[static_cast<size_t>(j)];
                            const double freed = ci + (j > i ? itemCost_[static_cast<size_t>(pj.item)] : 0.0);
                            if (freed >= cost || freed >= bestFreed) {
                                continue;
                            }
                            const Length room = st.h - pi.h - (j > i ? pj.h + geo_.kerf : 0);
                            for (int r = 0; r <= (turn ? 1 : 0); ++r) {
                                if (!wide[r] || room + fh[r] > sp.h + slackH || rng_.chance(kBlink) ||
                                    !swapFits(bin, static_cast<int>(t), static_cast<int>(q), i,
                                              j > i ? j : -1, fw[r], fh[r])) {
                                    continue;
                                }
                                take(freed, b, t, q, i, j > i ? j : -1, r);
                                break;
                            }
                        }
                    }
                }
            }
        }
        if (bb < 0) {
            return;
        }
        touch(s, bb);
        s.unplaced.erase(s.unplaced.begin() + static_cast<std::ptrdiff_t>(li));
        s.unplacedCost -= cost;
        Bin& bin = s.bins[static_cast<size_t>(bb)];
        Stack& st = bin.strips[static_cast<size_t>(bt)].stacks[static_cast<size_t>(bq)];
        std::vector<int>& out = swapOut_;
        out.assign(1, st.pieces[static_cast<size_t>(bi)].item);
        for (const Piece& p : st.pieces) {
            bin.area -= p.w * p.h;
        }
        if (bj == -2) {
            for (size_t k = 1; k < st.pieces.size(); ++k) {
                out.push_back(st.pieces[k].item);
            }
            bin.pieceCount -= static_cast<int>(st.pieces.size()) - 1;
            st.pieces.resize(1);
        }
        Piece& p = st.pieces[static_cast<size_t>(bi)];
        p.item = item;
        p.rotated = brot;
        FrameSize(inst_, item, brot, bin.transposed, p.w, p.h);
        if (bj >= 0) {
            out.push_back(st.pieces[static_cast<size_t>(bj)].item);
            st.pieces.erase(st.pieces.begin() + bj);
            --bin.pieceCount;
        }
        for (const Piece& q : st.pieces) {
            bin.area += q.w * q.h;
        }
        Refresh(st, geo_);
        Refresh(bin.strips[static_cast<size_t>(bt)], geo_);
        RefreshHeight(bin, geo_);
        bin.refused.clear();
        for (int o : out) {
            place(s, o, budget);
        }
    }
}

bool Search::iterate(State& s, const Cost* budget) {
    savedBinCount_ = s.bins.size();
    touchedFlag_.assign(savedBinCount_, 0);
    touchedBins_.clear();
    savedUnplaced_ = s.unplaced;
    savedStock_ = s.stockUsed;
    savedBinCost_ = s.binCost;
    savedUnplacedCost_ = s.unplacedCost;

    ruin(s);
    recreate(s, budget);
    swapIn(s, budget);
    ++iterations_;

    const double eps = 1e-9 * (1.0 + savedUnplacedCost_);
    const bool improved = s.unplacedCost < savedUnplacedCost_ - eps;
    const bool equal = !improved && s.unplacedCost <= savedUnplacedCost_ + eps;
    if (improved || (equal && !costLess(savedBinCost_, s.binCost))) {
        return improved;
    }
    restore(s);
    return false;
}

void Search::dissolveBin(State& s, bool anyPlate) {
    if (s.bins.empty()) {
        return;
    }
    // The plate whose area is used worst; its pieces must find room on the others. With several
    // preference levels mostly one of the least preferred level in use: that level leads the
    // cost, and a preferred plate may well be worth keeping though poorly filled.
    int level = -1;
    if (ranks_ > 1) {
        int lowest = 0;
        bool mixed = false;
        for (const Bin& b : s.bins) {
            const int r = plateRank_[static_cast<size_t>(b.plate)];
            mixed = mixed || r != plateRank_[static_cast<size_t>(s.bins.front().plate)];
            lowest = std::max(lowest, r);
        }
        if (mixed && rng_.chance(kLowestLevelDissolve)) {
            level = lowest;
        }
    }
    int pick = 0;
    double worst = kInf;
    for (size_t i = 0; i < s.bins.size(); ++i) {
        const Bin& b = s.bins[i];
        if (level >= 0 && plateRank_[static_cast<size_t>(b.plate)] != level) {
            continue;
        }
        // After a stall, the emptier plates are only likelier, not certain, to go.
        const double fill = static_cast<double>(b.area) / static_cast<double>(b.W * b.H) +
                            (anyPlate ? 1.0 : 1e-3) * rng_.uniform();
        if (fill < worst) {
            worst = fill;
            pick = static_cast<int>(i);
        }
    }
    savedBinCount_ = 0;
    Bin& b = s.bins[static_cast<size_t>(pick)];
    while (!b.strips.empty()) {
        removePiece(s, pick, 0, 0, 0);
    }
    --s.stockUsed[static_cast<size_t>(b.plate)];
    addPlate(s.binCost, b.plate, -1.0);
    s.bins.erase(s.bins.begin() + pick);
}

// Packs `pieces` alone on one plate of type `plate`, in every allowed first-cut direction and
// twelve orders, and keeps in `best` the layout that uses the least height of the plate, so its
// leftover is one offcut across the plate. With `haveBest` a layout must beat `best` as given.
// Returns whether `best` was replaced.
bool Search::packAlone(const std::vector<int>& pieces, int plate, Bin& best, bool haveBest) {
    const int orders = 12;
    const FirstCut allowed = inst_.plate(plate).firstCut;
    bool replaced = false;
    for (int tr = 0; tr < 2; ++tr) {
        const bool transposed = tr == 1;
        if (!Allows(allowed, transposed ? CutDirection::Vertical : CutDirection::Horizontal)) {
            continue;
        }
        for (int order = 0; order < orders; ++order) {
            if (graceExpired()) {
                return replaced;
            }
            State one;
            startState(one);
            one.bins.emplace_back();
            MakeEmptyBin(one.bins.back(), inst_, plate, transposed);
            std::vector<int> list = pieces;
            sortPieces(list, order < 5 ? order : 5);
            bool all = true;
            for (int item : list) {
                Move m;
                findMove(one, item, nullptr, m, false);
                if (!m.valid() || m.bin != 0) {
                    all = false;
                    break;
                }
                apply(one, item, m);
            }
            const Bin& b = one.bins.front();
            // Less height used in the plate's own frame leaves the larger offcut.
            const double left = static_cast<double>(b.H - b.usedH) * static_cast<double>(b.W);
            const double bestLeft = static_cast<double>(best.H - best.usedH) * static_cast<double>(best.W);
            if (all && (!(haveBest || replaced) || left > bestLeft)) {
                best = b;
                replaced = true;
            }
        }
    }
    return replaced;
}

namespace {

std::vector<int> PiecesOf(const Bin& b) {
    std::vector<int> pieces;
    for (const Strip& st : b.strips) {
        for (const Stack& sk : st.stacks) {
            for (const Piece& p : sk.pieces) {
                pieces.push_back(p.item);
            }
        }
    }
    return pieces;
}

}  // namespace

// Re-packs each plate's own pieces alone, keeping the layout that uses the least height of the
// plate: the plate count and cost stay, and the leftover gathers into one large offcut across
// the plate instead of scraps between the strips.
void Search::gatherLeftovers(State& s) {
    savedBinCount_ = 0;  // nothing to undo
    for (size_t i = 0; i < s.bins.size() && !graceExpired(); ++i) {
        const Bin& original = s.bins[i];
        if (original.pieceCount == 0) {
            continue;
        }
        Bin best = original;
        packAlone(PiecesOf(original), original.plate, best, true);
        s.bins[i] = std::move(best);
    }
}

// Moves the pieces of a plate of a lower preference level onto a plate of a higher level still
// in stock whenever one can take them: first with the very same cuts (what the checker asks,
// and cheap enough to run even after the stop), then, while the grace time lasts, with a new
// layout on the preferred plate. Each move lowers the plan's cost, so the passes end.
void Search::keepOrderOfUse(State& s) {
    if (ranks_ <= 1) {
        return;
    }
    savedBinCount_ = 0;  // nothing to undo
    const std::vector<int>& pref = inst_.preferenceOrder();
    auto inStock = [&](int q) {
        const PlateType& pt = inst_.plate(q);
        return pt.quantity != 0 && (pt.unlimited() || s.stockUsed[static_cast<size_t>(q)] < pt.quantity);
    };
    auto replace = [&](Bin& b, Bin&& moved) {
        --s.stockUsed[static_cast<size_t>(b.plate)];
        addPlate(s.binCost, b.plate, -1.0);
        ++s.stockUsed[static_cast<size_t>(moved.plate)];
        addPlate(s.binCost, moved.plate, 1.0);
        b = std::move(moved);
    };
    auto transplantAll = [&]() {
        for (bool changed = true; changed;) {
            changed = false;
            for (Bin& b : s.bins) {
                const int rank = plateRank_[static_cast<size_t>(b.plate)];
                if (b.pieceCount == 0 || rank == 0) {
                    continue;
                }
                const CutPlate cp = ToCutPlate(b, inst_);
                // The most preferred level that takes the layout; within it the least area.
                int chosen = -1;
                for (int q : pref) {
                    const PlateType& pt = inst_.plate(q);
                    if (pt.rank >= rank ||
                        (chosen >= 0 && pt.rank != plateRank_[static_cast<size_t>(chosen)])) {
                        break;
                    }
                    if (inStock(q) &&
                        (chosen < 0 ||
                         plateArea_[static_cast<size_t>(q)] < plateArea_[static_cast<size_t>(chosen)]) &&
                        LayoutFits(inst_, cp, q)) {
                        chosen = q;
                    }
                }
                if (chosen < 0) {
                    continue;
                }
                const PlateType& pt = inst_.plate(chosen);
                Bin moved = b;
                moved.plate = chosen;
                moved.W = b.transposed ? pt.usableHeight() : pt.usableWidth();
                moved.H = b.transposed ? pt.usableWidth() : pt.usableHeight();
                moved.refused.clear();
                if (geo_.binValid(moved)) {
                    replace(b, std::move(moved));
                    changed = true;
                }
            }
        }
    };
    transplantAll();
    // A new layout, least preferred plates first.
    std::vector<size_t> order(s.bins.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return plateRank_[static_cast<size_t>(s.bins[a].plate)] >
               plateRank_[static_cast<size_t>(s.bins[b].plate)];
    });
    bool any = false;
    for (size_t i : order) {
        Bin& b = s.bins[i];
        const int rank = plateRank_[static_cast<size_t>(b.plate)];
        if (rank == 0 || b.pieceCount == 0) {
            continue;
        }
        std::vector<int> candidates;
        for (int q : pref) {
            const PlateType& pt = inst_.plate(q);
            if (pt.rank >= rank) {
                break;
            }
            if (inStock(q) && pt.usableWidth() * pt.usableHeight() >= b.area) {
                candidates.push_back(q);
            }
        }
        std::stable_sort(candidates.begin(), candidates.end(), [&](int a, int c) {
            const size_t ua = static_cast<size_t>(a);
            const size_t uc = static_cast<size_t>(c);
            return plateRank_[ua] != plateRank_[uc] ? plateRank_[ua] < plateRank_[uc]
                                                    : plateArea_[ua] < plateArea_[uc];
        });
        const std::vector<int> pieces = PiecesOf(b);
        for (int q : candidates) {
            if (graceExpired()) {
                break;
            }
            Bin moved;
            if (packAlone(pieces, q, moved, false)) {
                replace(b, std::move(moved));
                any = true;
                break;
            }
        }
    }
    // Pieces taken off a plate may leave a layout that a preferred plate takes as it is.
    if (fillPreferred(s) || any) {
        transplantAll();
    }
}

// A preferred plate still in stock takes what it can of the pieces on less preferred plates,
// the least preferred and the emptiest of them first: the search may well have found that
// leaving it out costs nothing at the less preferred levels, but a workshop cuts its preferred
// plates (offcuts above all) before new ones. A plate whose pieces all move is given up; a
// plate that could not be cut any more without the pieces taken keeps them. Returns whether the
// plan changed.
bool Search::fillPreferred(State& s) {
    savedBinCount_ = 0;  // nothing to undo
    bool changed = false;
    const std::vector<int>& pref = inst_.preferenceOrder();
    struct Place {
        int strip, stack, index;
        Area area;
    };
    std::vector<Place> places;
    std::vector<size_t> order;
    std::vector<char> moved;
    for (int q : pref) {
        const PlateType& pt = inst_.plate(q);
        const int rank = pt.rank;
        for (bool filled = true; filled && !graceExpired();) {
            filled = false;
            if (pt.quantity == 0 || (!pt.unlimited() && s.stockUsed[static_cast<size_t>(q)] >= pt.quantity)) {
                break;
            }
            std::vector<size_t> sources;
            for (size_t i = 0; i < s.bins.size(); ++i) {
                if (s.bins[i].pieceCount > 0 && plateRank_[static_cast<size_t>(s.bins[i].plate)] > rank) {
                    sources.push_back(i);
                }
            }
            if (sources.empty()) {
                break;
            }
            std::stable_sort(sources.begin(), sources.end(), [&](size_t a, size_t b) {
                const Bin& x = s.bins[a];
                const Bin& y = s.bins[b];
                const int rx = plateRank_[static_cast<size_t>(x.plate)];
                const int ry = plateRank_[static_cast<size_t>(y.plate)];
                if (rx != ry) {
                    return rx > ry;
                }
                return static_cast<double>(x.area) / static_cast<double>(x.W * x.H) <
                       static_cast<double>(y.area) / static_cast<double>(y.W * y.H);
            });
            Bin target;
            MakeEmptyBin(target, inst_, q, !Allows(pt.firstCut, CutDirection::Horizontal));
            s.bins.push_back(std::move(target));
            const size_t ti = s.bins.size() - 1;
            for (size_t si : sources) {
                if (graceExpired()) {
                    break;
                }
                const Bin sourceCopy = s.bins[si];
                const Bin targetCopy = s.bins[ti];
                places.clear();
                const Bin& src = s.bins[si];
                for (size_t t = 0; t < src.strips.size(); ++t) {
                    for (size_t k = 0; k < src.strips[t].stacks.size(); ++k) {
                        const Stack& st = src.strips[t].stacks[k];
                        for (size_t i = 0; i < st.pieces.size(); ++i) {
                            places.push_back({static_cast<int>(t), static_cast<int>(k), static_cast<int>(i),
                                              st.pieces[i].w * st.pieces[i].h});
                        }
                    }
                }
                order.resize(places.size());
                std::iota(order.begin(), order.end(), size_t{0});
                std::stable_sort(order.begin(), order.end(),
                                 [&](size_t a, size_t b) { return places[a].area > places[b].area; });
                moved.assign(places.size(), 0);
                int count = 0;
                for (size_t k : order) {
                    const Place& pl = places[k];
                    const int item = s.bins[si]
                                         .strips[static_cast<size_t>(pl.strip)]
                                         .stacks[static_cast<size_t>(pl.stack)]
                                         .pieces[static_cast<size_t>(pl.index)]
                                         .item;
                    Move m;
                    findMove(s, item, nullptr, m, false, ti);
                    if (m.valid() && m.bin == static_cast<int>(ti)) {
                        apply(s, item, m);
                        moved[k] = 1;
                        ++count;
                    }
                }
                if (count == 0) {
                    continue;
                }
                // Off the source, last place first so the places still to go keep their indices.
                const size_t loose = s.unplaced.size();
                const double looseCost = s.unplacedCost;
                for (size_t k = places.size(); k-- > 0;) {
                    if (moved[k]) {
                        removePiece(s, static_cast<int>(si), places[k].strip, places[k].stack,
                                    places[k].index);
                    }
                }
                s.unplaced.resize(loose);
                s.unplacedCost = looseCost;
                if (!geo_.binValid(s.bins[si]) || !geo_.binValid(s.bins[ti])) {
                    s.bins[si] = sourceCopy;
                    s.bins[ti] = targetCopy;
                    continue;
                }
                filled = true;
            }
            if (!filled) {
                s.bins.pop_back();
                break;
            }
            ++s.stockUsed[static_cast<size_t>(q)];
            addPlate(s.binCost, q, 1.0);
            dropEmptyBins(s);
            changed = true;
        }
    }
    return changed;
}

bool Search::better(const State& a, const State& b) const {
    const double eps = 1e-9 * (1.0 + b.unplacedCost);
    if (a.unplacedCost < b.unplacedCost - eps) {
        return true;
    }
    if (a.unplacedCost > b.unplacedCost + eps) {
        return false;
    }
    return costLess(a.binCost, b.binCost);
}

double Search::costTolerance(double cost) { return 1e-9 * std::max(1.0, std::abs(cost)); }

Solution Search::toSolution(const State& s) const {
    Solution sol(inst_);
    for (const Bin& b : s.bins) {
        if (b.pieceCount > 0) {
            sol.addPlate(ToCutPlate(b, inst_));
        }
    }
    return sol;
}

void Search::publish(const State& s) {
    best_ = s;
    dropEmptyBins(best_);
    haveBest_ = true;
    secondsToBest_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    if (params_.onNewSolution) {
        params_.onNewSolution(toSolution(best_));
    }
}

Output Search::run() {
    start_ = std::chrono::steady_clock::now();
    Output out;
    out.feasible = true;
    for (size_t i = 0; i < inst_.itemTypes().size(); ++i) {
        out.feasible = out.feasible && inst_.fitsSomewhere(static_cast<int>(i));
    }

    // A complete plan first, in time linear in the pieces, so there is one whatever happens next.
    {
        State fast;
        blinks_ = false;
        buildGreedy(fast, 0, kFastWindow, true);
        blinks_ = true;
        publish(fast);
    }
    bound_ = PlateLowerBound(inst_, [this]() { return expired(); });
    out.plateBound = bound_;
    // These look at every plate: on a large job that may not end in time, and the fast plan
    // stands (looking at the recent plates only was tried: the plans came out far worse).
    for (int order = 0; order < 5; ++order) {
        State s;
        if (!buildGreedy(s, order, 0, false)) {
            break;  // out of time: a half-built plan is no use
        }
        // The first full build replaces the fast plan unless that is strictly better.
        if (order == 0 ? !better(best_, s) : better(s, best_)) {
            publish(s);
        }
    }
    State cur = best_;
    int64_t stalled = 0;
    double leastLoose = kInf;
    bool restarted = false;
    auto atBound = [this]() {
        const auto plates = static_cast<int64_t>(best_.bins.size());
        return best_.unplaced.empty() && ((bound_ > 0 && plates <= bound_) || plates <= params_.targetPlates);
    };
    while (!atBound() && !timeUp()) {
        if (!cur.unplaced.empty() && ++stalled > kStallSteps) {
            cur = best_;
            restarted = true;
        }
        if (cur.unplacedCost < leastLoose) {
            leastLoose = cur.unplacedCost;
            stalled = 0;
        }
        if (cur.unplaced.empty()) {
            leastLoose = kInf;
            dissolveBin(cur, restarted);
            restarted = false;
            if (cur.bins.empty() && cur.unplaced.empty()) {
                break;
            }
        }
        // A new plan must cost less than the best by more than rounding (costs run to 1e11).
        const Cost* budget = best_.unplaced.empty() ? &best_.binCost : nullptr;
        iterate(cur, budget);
        if (better(cur, best_)) {
            publish(cur);
        }
    }
    if (!stopPressed()) {
        gatherLeftovers(best_);
    }
    keepOrderOfUse(best_);
    out.solution = toSolution(best_);
    out.shortfall = ExplainShortfall(out.solution);
    out.stopped = stopPressed();
    out.iterations = iterations_;
    out.secondsToBest = secondsToBest_;
    out.seconds = elapsed();
    return out;
}

}  // namespace engine::detail
