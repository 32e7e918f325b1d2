#include "solver/solver.h"

#include <sys/mman.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <new>
#include <tuple>
#include <unordered_set>
#include <utility>

namespace {

// The positions met, in one open-addressing table over a power-of-two array that doubles while
// the memory budget allows. A position's hash keeps the stock's turns left in its low bits
// (Search::HashOf); an entry is keyed by the rest, so one probe answers for every count of turns:
// the most turns left it was met with in this attempt, the most it was proved lost with (kept
// across attempts), and the serial of the position met and not yet settled (its loss may still
// be proved with the positions it leads round into). More turns left can only help, so a
// position is covered by one met or lost with as many turns left or more.
constexpr uint64_t kTurnsMask = 7;

// Memory a thread's searches reuse: the two largest position tables it has had, kept mapped. Memory
// a process touches for the first time can cost far more than clearing it again (on a virtual
// machine, about 11 ms a megabyte against a tenth of a millisecond), and a search that grows its
// table to tens of megabytes paid that within its budget, deal after deal. A thread ending (a
// hint's or a verdict's search) gives its memory back.
class ReusedMemory {
public:
    ~ReusedMemory() {
        for (const Block& block : blocks)
            if (block.memory) munmap(block.memory, block.bytes);
    }
    // The smallest kept block of at least `bytes`, cleared, or null (the caller maps its own).
    std::pair<void*, size_t> Take(size_t bytes) {
        Block* best = nullptr;
        for (Block& block : blocks)
            if (block.memory && block.bytes >= bytes && (!best || block.bytes < best->bytes)) best = &block;
        if (!best) return {nullptr, 0};
        const Block taken = std::exchange(*best, Block{});
        std::memset(taken.memory, 0, bytes);
        return {taken.memory, taken.bytes};
    }
    // Keeps a block in place of the smallest kept (or of none), unless it is smaller still.
    void Give(void* memory, size_t bytes) {
        Block* smallest = &blocks[0];
        for (Block& block : blocks)
            if (block.bytes < smallest->bytes) smallest = &block;
        if (smallest->bytes > bytes) {
            munmap(memory, bytes);
            return;
        }
        if (smallest->memory) munmap(smallest->memory, smallest->bytes);
        *smallest = {memory, bytes};
    }

    // Tables smaller than this are cheap to map afresh.
    static constexpr size_t kSmallest = size_t{1} << 20;

private:
    struct Block {
        void* memory = nullptr;
        size_t bytes = 0;
    };
    // A table growing is copied from one block into another twice its size.
    std::array<Block, 2> blocks{};
};

thread_local ReusedMemory reusedMemory;

// Zeroed memory for `count` objects of a type whose zero bytes are its empty value, on large
// pages where the system gives them: the position table is probed at random over hundreds of
// megabytes, and with small pages nearly every probe also misses the address translation cache.
template <typename T>
class ZeroedArray {
public:
    ZeroedArray() = default;
    explicit ZeroedArray(size_t count) : count(count) {
        const size_t bytes = std::max<size_t>(count * sizeof(T), 1);
        if (bytes >= ReusedMemory::kSmallest) std::tie(items, mapped) = reusedMemory.Take(bytes);
        if (items) return;
        void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) throw std::bad_alloc();
        madvise(memory, bytes, MADV_HUGEPAGE);
        items = memory;
        mapped = bytes;
    }
    ~ZeroedArray() {
        if (!items) return;
        if (mapped >= ReusedMemory::kSmallest) reusedMemory.Give(items, mapped);
        else munmap(items, mapped);
    }
    ZeroedArray(const ZeroedArray&) = delete;
    ZeroedArray& operator=(const ZeroedArray&) = delete;
    void swap(ZeroedArray& other) noexcept {
        std::swap(items, other.items);
        std::swap(count, other.count);
        std::swap(mapped, other.mapped);
    }
    size_t size() const { return count; }
    T& operator[](size_t i) { return Items()[i]; }
    const T& operator[](size_t i) const { return Items()[i]; }
    const T* begin() const { return Items(); }
    const T* end() const { return Items() + count; }

private:
    T* Items() const { return static_cast<T*>(items); }
    void* items = nullptr;
    size_t count = 0;
    size_t mapped = 0;  // bytes mapped at `items`, at least count objects'
};

class PositionTable {
public:
    struct Entry {
        uint64_t key = 0;  // the hash without its turns; 0: an empty slot
        uint32_t serial = 0;  // 0: not open
        uint8_t seen = 0, lost = 0, open = 0;  // the turns left plus one; 0: never
        uint8_t attempt = 0;  // the attempt seen, serial and open belong to
    };

    explicit PositionTable(size_t memoryBytes) : limit(std::max<size_t>(memoryBytes / sizeof(Entry), 1024)) {
        ZeroedArray<Entry>(std::min<size_t>(1 << 15, Floor2(limit))).swap(slots);
    }

    static uint64_t Key(uint64_t hash) { return (hash & ~kTurnsMask) ? hash & ~kTurnsMask : kTurnsMask + 1; }
    static uint8_t Turns(uint64_t hash) { return static_cast<uint8_t>((hash & kTurnsMask) + 1); }

    // The entry of `hash`, null when it has none.
    Entry* Find(uint64_t hash) {
        const uint64_t key = Key(hash);
        for (size_t i = key & (slots.size() - 1);; i = (i + 1) & (slots.size() - 1)) {
            if (slots[i].key == key) return &Current(slots[i]);
            if (slots[i].key == 0) return nullptr;
        }
    }
    // The entry of `hash`, made if need be; null when the table is full and may not grow.
    Entry* Get(uint64_t hash) {
        if ((used + 1) * 4 > slots.size() * 3) {
            if (slots.size() * 2 <= limit) {
                Rebuild(slots.size() * 2);
            } else if (purged != attempt) {
                // Full at its largest: the entries of earlier attempts that proved nothing go,
                // once an attempt.
                purged = attempt;
                Rebuild(slots.size());
            }
            if ((used + 1) * 4 > slots.size() * 3) return Find(hash);
        }
        return &Current(Place(Key(hash)));
    }
    // Starts loading the slot `hash` is probed from, so a lookup made a little later finds it in
    // the cache: the probes miss the cache far more often than not.
    void Prefetch(uint64_t hash) const { __builtin_prefetch(&slots[Key(hash) & (slots.size() - 1)]); }
    // A new attempt: only the losses are kept. An entry forgets the rest when it is next met, so
    // starting an attempt costs nothing, where moving the losses into a cleared table of the same
    // size cost a pass over all of it. After 255 attempts the numbers would come round again, so
    // the table is cleared of all but its losses then.
    void NewAttempt() {
        if (++attempt != 0) return;
        attempt = 1;
        purged = 0;
        Rebuild(slots.size(), true);
    }

private:
    static size_t Floor2(size_t n) {
        size_t p = 1;
        while (p * 2 <= n) p *= 2;
        return p;
    }
    // The entry as this attempt sees it: what it was met with in an earlier attempt is forgotten.
    Entry& Current(Entry& entry) const {
        if (entry.attempt != attempt) {
            entry.seen = entry.open = 0;
            entry.serial = 0;
            entry.attempt = attempt;
        }
        return entry;
    }
    Entry& Place(uint64_t key) {
        size_t i = key & (slots.size() - 1);
        while (slots[i].key != 0 && slots[i].key != key) i = (i + 1) & (slots.size() - 1);
        if (slots[i].key == 0) {
            slots[i].key = key;
            slots[i].attempt = attempt;
            ++used;
        }
        return slots[i];
    }
    // Moves the entries into a table of `size` slots, leaving out those of earlier attempts that
    // proved no loss, and with `all`, every one that proved none.
    void Rebuild(size_t size, bool all = false) {
        ZeroedArray<Entry> old(size);
        old.swap(slots);
        used = 0;
        for (const Entry& entry : old) {
            if (entry.key == 0 || (entry.lost == 0 && (all || entry.attempt != attempt))) continue;
            Entry& placed = Place(entry.key);
            placed = entry;
            // Of no attempt (they count from one): renewed when met again.
            if (all) placed.attempt = 0;
        }
    }

    size_t limit;
    ZeroedArray<Entry> slots;
    size_t used = 0;
    uint8_t attempt = 1, purged = 0;
};

// A move of the search: the model's `move` after `presses` presses of the stock (a stock macro).
struct Child {
    int score;
    PlayMove move;
    uint64_t hash;
    int presses = 0;
    int flip = -1;  // the place whose face-down top the move bared and the search turned
};

// One position on the search path: its children in the order they are tried. Positions that
// lead round into each other (a card moved there and back) are proved lost together, once the
// first of them met is done (the strongly connected components of the positions met, found as
// the search goes): `serial` numbers positions in the order met, `low` is the earliest still open
// that this one's search reached, and `pending` is where its component's positions start on the
// stack of positions met and not yet settled. A position is tainted when a move was passed over
// unsearched (a hasty cut) or led to a position met before whose loss is not proved: then its
// own loss is not proved either.
struct Frame {
    std::vector<Child> children;
    size_t next = 0;
    uint64_t hash = 0;
    int points = 0;  // scored on the path from the start
    uint64_t serial = 0, low = 0;
    size_t pending = 0;
    bool tainted = false;
};

// Seconds on the budget's clock: wall-clock time, or the calling thread's processor time.
double Now(const SolveBudget& budget) {
    if (budget.processorTime) {
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec);
        };
        return seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Positions as arrays of 64-bit words, so a model's Position (of any alignment up to 8) can live
// in them.
size_t Words(const PlayModelOps& ops) { return (ops.positionSize + 7) / 8; }

class Search {
public:
    Search(const PlayModelOps& ops, const SolveBudget& budget, MoveScore score, const std::atomic<bool>* cancel)
        : ops(ops), budget(budget), score(score ? score : MoveScoreFor(0)), cancel(cancel),
          encode(SearchCodeFor(this->score) ? SearchCodeFor(this->score) : ops.encode),
          hasher(SearchHashFor(this->score)), pileHasher(SearchPileHashFor(this->score)),
          over(SearchOverFor(this->score) ? SearchOverFor(this->score) : ops.over),
          noiseWidth(SearchNoiseFor(this->score)), sizes(SearchAttemptsFor(this->score)), words(Words(ops)),
          macro(StockMacroFor(this->score)), beam(SearchBeamFor(this->score)), table(budget.memoryBytes), pressed(words) {
        code.bytes.reserve(1024);
    }

    // Depth-first search has a heavy tail: one wrong early choice can bury the search in a huge
    // dead subtree. So it runs in attempts with growing position limits (doubling in most games),
    // each after the first with the heuristic's order shaken; an attempt that searches everything
    // within its limit answers for good. The positions an attempt proves lost stay proved for the
    // next. A game with a beam guide searches so for its depth-first share of the budget, and then
    // hunts a win with beams of doubling widths.
    SolveResult Run(const void* start) {
        const double began = Now(budget);
        const double share = beam.value ? beam.depthFirstShare : 1.0;
        stopAt = began + budget.seconds * share;
        nodeStop = share < 1 ? static_cast<uint64_t>(static_cast<double>(budget.nodes) * share) : budget.nodes;
        SolveResult result;
        attemptLimit = sizes.first;
        for (int attempt = 0;; ++attempt) {
            noise = attempt == 0 ? 0 : std::min(noiseWidth, kLightNoise << std::min(attempt - 1, 16));
            random = 0x2545F4914F6CDD1Dull * static_cast<uint64_t>(attempt + 1);
            hasty = !hastyDone && attempt % 2 == 0;
            cut = false;
            attemptNodes = 0;
            limitHit = false;
            if (attempt > 0) table.NewAttempt();
            unsettled.clear();
            result.outcome = Explore(start, result);
            if (result.outcome != SolveOutcome::kUnknown || !limitHit) break;
            // A hasty attempt that cut moves is followed by a complete one with the same limit.
            if (!cut) attemptLimit += attemptLimit * static_cast<uint64_t>(sizes.growth) / 100;
        }
        if (beam.value && result.outcome == SolveOutcome::kUnknown && !result.cancelled) {
            stopAt = began + budget.seconds;
            nodeStop = budget.nodes;
            BeamEnd end = BeamEnd::kNarrow;
            for (size_t width = kFirstBeam; end == BeamEnd::kNarrow; width *= 2) end = Beam(start, width, result);
            if (end == BeamEnd::kWon) result.outcome = SolveOutcome::kWon;
        }
        result.nodes = nodes;
        result.seconds = Now(budget) - began;
        return result;
    }

private:
    // How a beam ended: with a win (its moves in the result), with no position left after dropping
    // some (a wider beam may do better), with none left having dropped none, or at the end of the
    // budget (or cancelled).
    enum class BeamEnd { kWon, kNarrow, kExhausted, kStopped };
    // A beam: from the start, each depth keeps the `width` children with the highest values of the
    // positions kept at the depth before (a safe move's child alone where a position has one;
    // positions met before in this beam left out). It proves nothing lost: it drops all but the
    // best.
    BeamEnd Beam(const void* start, size_t width, SolveResult& result) {
        struct Step {
            uint32_t parent;
            PlayMove move;
        };
        std::vector<Step> steps{{UINT32_MAX, PlayMove{}}};
        std::vector<uint64_t> level(words), next, after(words);
        std::memcpy(level.data(), start, ops.positionSize);
        std::vector<uint32_t> ids{0}, nextIds;
        struct Candidate {
            int value;
            uint32_t from;
            PlayMove move;
            uint64_t hash;
        };
        std::vector<Candidate> candidates;
        std::unordered_set<uint64_t> met{HashOf(start)};
        MoveList list;
        random = 0x9E3779B97F4A7C15ull * (width + 1);
        bool dropped = false;
        const auto line = [&](uint32_t id, const PlayMove& last) {
            result.moves.clear();
            result.moves.push_back(last);
            for (; id != 0; id = steps[id].parent) result.moves.push_back(steps[id].move);
            std::reverse(result.moves.begin(), result.moves.end());
        };
        for (;;) {
            candidates.clear();
            for (size_t i = 0; i < ids.size(); ++i) {
                const void* before = level.data() + i * words;
                list.clear();
                ops.moves(before, list);
                const size_t first = candidates.size();
                for (const PlayMove& move : list) {
                    if (nodes >= nodeStop || ((nodes & 255) == 0 && Stopped(result))) return BeamEnd::kStopped;
                    std::memcpy(after.data(), before, ops.positionSize);
                    const int points = ops.apply(after.data(), move);
                    ++nodes;
                    if (ops.won(after.data())) {
                        line(ids[i], move);
                        return BeamEnd::kWon;
                    }
                    const uint64_t hash = HashOf(after.data());
                    if (met.count(hash)) continue;
                    const int rank = score(before, move, points, after.data());
                    if (rank <= kHopeless) continue;
                    random ^= random << 13;
                    random ^= random >> 7;
                    random ^= random << 17;
                    const int v = beam.value(after.data()) * 16 + static_cast<int>(random & 15);
                    if (rank >= kSafeMove) {
                        candidates.resize(first);
                        candidates.push_back({v, static_cast<uint32_t>(i), move, hash});
                        break;
                    }
                    candidates.push_back({v, static_cast<uint32_t>(i), move, hash});
                }
            }
            if (candidates.empty()) return dropped ? BeamEnd::kNarrow : BeamEnd::kExhausted;
            // The set of positions met takes some 40 bytes an entry: a beam stops before that alone
            // outgrows the budget's table memory.
            if (met.size() * 40 > budget.memoryBytes) return BeamEnd::kStopped;
            if (candidates.size() > width) {
                dropped = true;
                std::nth_element(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(width), candidates.end(),
                                 [](const Candidate& a, const Candidate& b) { return a.value > b.value; });
                candidates.resize(width);
            }
            next.resize(candidates.size() * words);
            nextIds.clear();
            for (const Candidate& c : candidates) {
                if (!met.insert(c.hash).second) continue;
                void* to = next.data() + nextIds.size() * words;
                std::memcpy(to, level.data() + c.from * words, ops.positionSize);
                ops.apply(to, c.move);
                steps.push_back({ids[c.from], c.move});
                nextIds.push_back(static_cast<uint32_t>(steps.size() - 1));
            }
            level.swap(next);
            ids.swap(nextIds);
        }
    }

    // Whether the search was cancelled (noted in the result) or its time is up.
    bool Stopped(SolveResult& result) const {
        if (cancel && cancel->load(std::memory_order_relaxed)) return result.cancelled = true;
        return Now(budget) > stopAt;
    }

    void* At(size_t depth) { return positions.data() + depth * words; }
    static PlayMove FlipOf(int place) { return PlayMove{PlayMove::kFlip, static_cast<int8_t>(place)}; }

    int ApplyChild(void* position, const Child& child) {
        int points = 0;
        for (int i = 0; i < child.presses; ++i) points += ops.apply(position, PlayMove{PlayMove::kStock});
        points += ops.apply(position, child.move);
        if (child.flip >= 0) points += ops.apply(position, FlipOf(child.flip));
        return points;
    }
    // The model's moves from the start to the child now tried at `depth`, then `last`.
    void Solution(size_t depth, const Child& last, MoveList& line) {
        line.clear();
        const auto add = [&](const Child& child) {
            line.insert(line.end(), static_cast<size_t>(child.presses), PlayMove{PlayMove::kStock});
            line.push_back(child.move);
            if (child.flip >= 0) line.push_back(FlipOf(child.flip));
        };
        for (size_t d = 0; d < depth; ++d) add(frames[d].children[frames[d].next - 1]);
        add(last);
    }

    // The game's direct hash, else a hash of the code faster than its own byte-wise one (eight
    // bytes a step). Its low bits hold the stock's turns left, which a game with a stock macro
    // leaves out of its code.
    uint64_t HashOf(const void* position) {
        const uint64_t left = TurnsLeft(position);
        if (hasher) return (hasher(position) & ~kTurnsMask) | left;
        code.bytes.clear();
        encode(position, code);
        const std::string& bytes = code.bytes;
        uint64_t hash = 0x9E3779B97F4A7C15ull ^ bytes.size();
        size_t i = 0;
        for (; i + 8 <= bytes.size(); i += 8) {
            uint64_t chunk;
            std::memcpy(&chunk, bytes.data() + i, 8);
            hash = (hash ^ chunk) * 0xFF51AFD7ED558CCDull;
            hash ^= hash >> 29;
        }
        uint64_t tail = 0;
        std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
        hash = (hash ^ tail) * 0xC4CEB9FE1A85EC53ull;
        hash ^= hash >> 32;
        return (hash & ~kTurnsMask) | left;
    }
    // The turns of the waste left, for the hash's low bits.
    uint64_t TurnsLeft(const void* position) const {
        return static_cast<uint64_t>(macro.turnsLeft ? std::clamp(macro.turnsLeft(position), 0, int{kTurnsMask}) : int{kTurnsMask});
    }
    // A child's hash, from its parent's pile hashes where the game gives them.
    uint64_t ChildHashOf(const void* position) {
        if (!pileHasher.child) return HashOf(position);
        return (pileHasher.child(parent, parentPiles.data(), position) & ~kTurnsMask) | TurnsLeft(position);
    }

    // Generates the children of the position at `depth` (whose hash is `hash`) into its frame; true
    // when one is won.
    bool Expand(size_t depth, uint64_t hash, PositionTable::Entry& entry, SolveResult& result) {
        Frame& frame = frames[depth];
        frame.children.clear();
        frame.next = 0;
        frame.hash = hash;
        frame.tainted = false;
        frame.serial = frame.low = ++serials;
        frame.pending = unsettled.size();
        unsettled.push_back({hash, frame.serial});
        // Serials past 32 bits are not recorded: a position that meets such a one again is left
        // unproved rather than risk a wrong group.
        if (frame.serial <= UINT32_MAX) {
            entry.serial = static_cast<uint32_t>(frame.serial);
            entry.open = PositionTable::Turns(hash);
        }
        moves.clear();
        ops.moves(At(depth), moves);
        parent = At(depth);
        if (pileHasher.piles) pileHasher.piles(parent, parentPiles.data());
        bool pressable = false;
        made.clear();
        pressedKept = 0;
        for (const PlayMove& move : moves) {
            if (macro.wastePlace >= 0 && move.kind == PlayMove::kStock) {
                pressable = true;
                continue;
            }
            Make(At(depth), -1, move, 0, 0);
        }
        if (pressable) ExpandStock(depth);
        // Every child is made and its table slot on its way into the cache before the first is
        // looked up.
        for (size_t i = 0; i < made.size(); ++i)
            if (AddChild(depth, i, result)) return true;
        std::stable_sort(frame.children.begin(), frame.children.end(),
                         [](const Child& a, const Child& b) { return a.score > b.score; });
        if (frame.children.size() > 1) {
            const int best = frame.children[0].score;
            if (best >= kSafeMove) {
                frame.children.resize(1);
            } else if (hasty && best >= kLikelySafe) {
                Cut(frame);
                frame.children.resize(1);
            }
        }
        return false;
    }

    // The stock macros of the position at `depth`: press the stock again and again, and after each
    // press offer the waste's top card's moves. Pressing commutes with every other move, and a win
    // ends with an empty waste, so every win can be played with each press run followed at once
    // by a waste move: the bare press is never needed. A waste of a size met before (at the start,
    // or earlier in this run) holds the same cards in the same order, reached with more of the
    // stock's turns spent, so it is skipped; after a second turn of the waste nothing new comes.
    void ExpandStock(size_t depth) {
        std::memcpy(pressed.data(), At(depth), ops.positionSize);
        uint64_t sizesMet[2] = {0, 0};
        const auto meet = [&](int size) {
            const int bit = std::clamp(size, 0, 127);
            const bool met = sizesMet[bit / 64] >> (bit % 64) & 1;
            sizesMet[bit / 64] |= uint64_t{1} << (bit % 64);
            return met;
        };
        meet(macro.wasteCount(pressed.data()));
        int points = 0, turns = 0;
        for (int presses = 1; presses <= kMaxPresses; ++presses) {
            points += ops.apply(pressed.data(), PlayMove{PlayMove::kStock});
            const int size = macro.wasteCount(pressed.data());
            if (size == 0 && ++turns == 2) break;
            const bool fresh = !meet(size);
            pressMoves.clear();
            (macro.stockMoves ? macro.stockMoves : ops.moves)(pressed.data(), pressMoves);
            bool more = false, ended = false;
            int kept = -1;  // where this press's position is kept for scoring its moves
            for (const PlayMove& move : pressMoves) {
                more |= move.kind == PlayMove::kStock;
                if (!fresh || move.kind != PlayMove::kMove || move.from != macro.wastePlace) continue;
                if (kept < 0) {
                    // A press after which the game's own test ends the game leads nowhere. (Asked
                    // only where a waste move would follow: the test is not cheap.)
                    if ((ended = over(pressed.data()))) break;
                    kept = static_cast<int>(pressedKept++);
                    if (pressedKept * words > keptPresses.size()) keptPresses.resize(pressedKept * words * 2);
                    std::memcpy(keptPresses.data() + static_cast<size_t>(kept) * words, pressed.data(), ops.positionSize);
                }
                Make(keptPresses.data() + static_cast<size_t>(kept) * words, kept, move, presses, points);
            }
            if (!more || ended) break;
        }
    }

    // Plays `move` from `before` (the position at the depth being expanded, or the one after
    // `presses` presses kept at `kept`, which scored `pressPoints`) into a new child's position,
    // hashes it and starts loading its table slot.
    void Make(const void* before, int kept, const PlayMove& move, int presses, int pressPoints) {
        const size_t i = made.size();
        if ((i + 1) * words > madePositions.size()) madePositions.resize((i + 1) * words * 2);
        void* after = madePositions.data() + i * words;
        std::memcpy(after, before, ops.positionSize);
        int points = pressPoints + ops.apply(after, move);
        // Turning a bared face-down card never hurts: it is part of the move.
        const int flip = macro.faceDownTop ? macro.faceDownTop(after) : -1;
        if (flip >= 0) points += ops.apply(after, FlipOf(flip));
        const uint64_t hash = ChildHashOf(after);
        table.Prefetch(hash);
        made.push_back({move, hash, presses, points, flip, kept});
    }

    // Scores made child `i` of the position at `depth` and adds it to the frame unless it is
    // known, hopeless or won (true: the solution is in `result`).
    bool AddChild(size_t depth, size_t i, SolveResult& result) {
        Frame& frame = frames[depth];
        const auto& [move, hash, presses, points, flip, kept] = made[i];
        const void* before = kept < 0 ? At(depth) : keptPresses.data() + static_cast<size_t>(kept) * words;
        const void* after = madePositions.data() + i * words;
        if (Known(frame, hash)) return false;
        const Child child{0, move, hash, presses, flip};
        if (ops.won(after)) {
            Solution(depth, child, result.moves);
            return true;
        }
        int rank = score(before, move, points, after);
        // A safe move is tried alone because the game goes on after it as long as a move is left;
        // but the game's own test of the end may stop it where another order would have gone on.
        if (rank >= kSafeMove && over(after)) rank = kSafeMove - 1;
        if (rank <= kHopeless) return false;
        if (hasty && rank <= kDoubtful) {
            Cut(frame);
            return false;
        }
        // A move that is safe after the presses is not safe against the moves that need no press.
        // A limited turn of the waste spent is a resource gone: such macros come late.
        if (presses > 0) {
            rank = std::min(rank, kSafeMove - 1) - presses;
            if (macro.turnsLeft) rank -= kTurnCost * (macro.turnsLeft(At(depth)) - macro.turnsLeft(before));
        }
        if (noise > 0 && rank < kSafeMove) {
            random ^= random << 13;
            random ^= random >> 7;
            random ^= random << 17;
            rank += static_cast<int>(random % static_cast<uint64_t>(noise));
        }
        // Moving the cards the last move placed again, without scoring, seldom helps: the first
        // move could usually have gone there at once.
        if (depth > 0 && move.kind == PlayMove::kMove && points <= 0) {
            const PlayMove& last = frames[depth - 1].children[frames[depth - 1].next - 1].move;
            if (last.kind == PlayMove::kMove && last.to == move.from) rank -= 500;
        }
        frame.children.push_back({rank, move, hash, presses, flip});
        return false;
    }

    // Whether a move of `frame` to the position of `hash` needs no search: it was proved lost, or
    // met before in this attempt (with as many turns left or more). A position met before and not
    // proved lost makes this one's loss wait on its own if it is still unsettled; else this one's
    // loss is not proved.
    bool Known(Frame& frame, uint64_t hash) {
        const PositionTable::Entry* entry = table.Find(hash);
        const uint8_t turns = PositionTable::Turns(hash);
        if (!entry || entry->seen < turns) return entry && entry->lost >= turns;
        if (entry->lost >= turns) return true;
        if (entry->serial != 0 && entry->open >= turns) frame.low = std::min<uint64_t>(frame.low, entry->serial);
        else frame.tainted = true;
        return true;
    }

    // Every move of `frame` is searched. If its search reached no position met before it and still
    // open, it closes a component: all of its positions are lost unless one was tainted.
    void Settle(const Frame& frame, Frame& parent) {
        parent.tainted |= frame.tainted;
        parent.low = std::min(parent.low, frame.low);
        if (frame.low != frame.serial) return;
        for (size_t i = frame.pending; i < unsettled.size(); ++i) {
            PositionTable::Entry* entry = table.Find(unsettled[i].hash);
            if (!entry) continue;
            if (!frame.tainted) entry->lost = std::max(entry->lost, PositionTable::Turns(unsettled[i].hash));
            if (entry->serial == unsettled[i].serial) entry->serial = 0;
        }
        unsettled.resize(frame.pending);
    }

    // A hasty attempt leaves out doubtful moves, and tries a likely safe one alone: the position
    // is then not proved lost by its children, nor is the start by the attempt's end.
    void Cut(Frame& frame) {
        frame.tainted = true;
        cut = true;
    }

    // Marks the position of `hash` met in this attempt; null when the table is full.
    PositionTable::Entry* Visit(uint64_t hash) {
        PositionTable::Entry* entry = table.Get(hash);
        if (entry) entry->seen = std::max(entry->seen, PositionTable::Turns(hash));
        return entry;
    }

    SolveOutcome Explore(const void* start, SolveResult& result) {
        if (ops.won(start)) return SolveOutcome::kWon;
        positions.assign(words * 64, 0);
        frames.resize(64);
        frames[0].points = 0;
        std::memcpy(At(0), start, ops.positionSize);
        const uint64_t startHash = HashOf(start);
        PositionTable::Entry* startEntry = Visit(startHash);
        if (!startEntry) return SolveOutcome::kUnknown;
        size_t depth = 0;
        ++nodes;
        if (over(start)) return SolveOutcome::kLost;
        if (Expand(0, startHash, *startEntry, result)) return SolveOutcome::kWon;
        for (;;) {
            Frame& frame = frames[depth];
            if (frame.next == frame.children.size()) {
                if (depth == 0) {
                    if (!cut) return SolveOutcome::kLost;
                    // A hasty attempt that left moves out proves nothing by its end.
                    hastyDone = limitHit = true;
                    return SolveOutcome::kUnknown;
                }
                // Every child searched: the position is proved lost, in every later attempt too (a
                // full table only loses the shortcut), once its component is settled untainted.
                Settle(frame, frames[depth - 1]);
                --depth;
                continue;
            }
            const Child child = frame.children[frame.next++];
            if (Known(frame, child.hash)) continue;
            PositionTable::Entry* entry = Visit(child.hash);
            if (!entry) return SolveOutcome::kUnknown;
            if ((++nodes & 255) == 0 && Stopped(result)) return SolveOutcome::kUnknown;
            if (nodes > nodeStop) return SolveOutcome::kUnknown;
            if (++attemptNodes > attemptLimit) {
                limitHit = true;
                return SolveOutcome::kUnknown;
            }
            if ((depth + 2) * words > positions.size()) {
                positions.resize(positions.size() * 2);
                frames.resize(frames.size() * 2);
            }
            void* next = At(depth + 1);
            std::memcpy(next, At(depth), ops.positionSize);
            const int points = frames[depth].points + ApplyChild(next, child);
            if (points > result.bestPoints) {
                result.bestPoints = points;
                Solution(depth, child, result.bestLine);
            }
            frames[depth + 1].points = points;
            ++depth;
            if (over(next)) {
                // The game's own end: nothing more to search here.
                entry->lost = std::max(entry->lost, PositionTable::Turns(child.hash));
                --depth;
                continue;
            }
            if (Expand(depth, child.hash, *entry, result)) return SolveOutcome::kWon;
        }
    }

    const PlayModelOps& ops;
    const SolveBudget& budget;
    MoveScore score;
    const std::atomic<bool>* cancel;
    PositionEncoder encode;
    PositionHasher hasher;
    PileHasher pileHasher;
    std::array<uint64_t, kMaxPileHashes> parentPiles{};  // the pile hashes of the position expanded
    const void* parent = nullptr;                        // that position, while its children are made
    PositionTest over;
    int noiseWidth;  // the widest shake of the attempts after the first
    AttemptSizes sizes;
    size_t words;
    StockMacro macro;
    BeamGuide beam;
    PositionTable table;
    std::vector<uint64_t> positions;  // the path's positions, `words` each
    std::vector<Frame> frames;
    std::vector<uint64_t> pressed;  // the position after a run of presses
    // The children of the position being expanded, made before any is looked up: their moves and
    // positions, and the positions after presses their moves are played from.
    struct Made {
        PlayMove move;
        uint64_t hash;
        int presses, points, flip, kept;
    };
    std::vector<Made> made;
    std::vector<uint64_t> madePositions, keptPresses;
    size_t pressedKept = 0;
    MoveList moves, pressMoves;
    PositionCode code;
    uint64_t nodes = 0;
    static constexpr int kMaxPresses = 400;
    static constexpr int kTurnCost = 400;
    uint64_t attemptLimit = 0, attemptNodes = 0;
    // Where the search stops: its budget, or before beams, the depth-first share of it.
    double stopAt = 0;
    uint64_t nodeStop = 0;
    static constexpr size_t kFirstBeam = 100;
    bool limitHit = false;
    bool hasty = false, hastyDone = false, cut = false;
    uint64_t serials = 0;
    struct Unsettled {
        uint64_t hash, serial;
    };
    std::vector<Unsettled> unsettled;  // positions met whose group is not yet done
    int noise = 0;
    uint64_t random = 0;
};

}  // namespace

const char* OutcomeName(SolveOutcome outcome) {
    switch (outcome) {
    case SolveOutcome::kWon:
        return "won";
    case SolveOutcome::kLost:
        return "lost";
    case SolveOutcome::kUnknown:
        break;
    }
    return "unknown";
}

SolveResult Solve(const PlayModelOps& ops, const void* position, const SolveBudget& budget, MoveScore score,
                  const std::atomic<bool>* cancel) {
    // The model's functions expect their Position's alignment: search from an aligned copy.
    std::vector<uint64_t> start(Words(ops));
    std::memcpy(start.data(), position, ops.positionSize);
    Search search(ops, budget, score, cancel);
    return search.Run(start.data());
}

MoveList OrderedMoves(const PlayModelOps& ops, const void* position, MoveScore score) {
    if (!score) score = MoveScoreFor(0);
    std::vector<uint64_t> before(Words(ops)), after(Words(ops));
    std::memcpy(before.data(), position, ops.positionSize);
    MoveList moves;
    ops.moves(before.data(), moves);
    std::vector<Child> ranked;
    for (const PlayMove& move : moves) {
        std::memcpy(after.data(), before.data(), ops.positionSize);
        const int points = ops.apply(after.data(), move);
        ranked.push_back({score(before.data(), move, points, after.data()), move, 0});
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Child& a, const Child& b) { return a.score > b.score; });
    for (size_t i = 0; i < ranked.size(); ++i) moves[i] = ranked[i].move;
    return moves;
}

SolverJob::SolverJob(const PlayModelOps& ops, const void* start, const SolveBudget& budget, MoveScore score)
    : position(Words(ops)) {
    std::memcpy(position.data(), start, ops.positionSize);
    worker = std::thread([this, &ops, budget, score] {
        result = Solve(ops, position.data(), budget, score, &cancel);
        done.store(true, std::memory_order_release);
    });
}

SolverJob::~SolverJob() {
    Cancel();
    if (worker.joinable()) worker.join();
}
