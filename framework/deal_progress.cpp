// Statistics and the saved copy of an unfinished deal: when a deal counts, how it ends, and what
// leaving it means.
#include "framework/game.h"
#include "framework/game_services.h"
#include "store/saved_game.h"
#include "store/settings_store.h"
#include "store/statistics.h"

bool Game::DealUnderway() {
    if (!dealCounted && !dealConcluded && !playedByDemo && MovesMade() > 0 && !dragging) {
        dealCounted = true;
        CountDealPlayed(userPreferences.CurrentPlayer, GetName());
    }
    return dealCounted;
}

void Game::ConcludeDeal(bool won) {
    if (dealConcluded || !DealUnderway()) return;
    dealConcluded = true;
    const int32_t seconds = ElapsedSeconds();
    if (won) CountDealWon(userPreferences.CurrentPlayer, GetName(), finalScore, seconds);
    else CountDealLost(userPreferences.CurrentPlayer, GetName(), finalScore, seconds);
    if (Services().forgetDeal) Services().forgetDeal(*this);
}

void Game::LeaveDeal(Leaving how) {
    if (dealConcluded || !DealUnderway()) return;
    GameServices& services = Services();
    if (how == Leaving::kKeepingTheDeal && !gameOver) {
        if (services.keepDeal) services.keepDeal(*this);
        positionChangesSaved = positionChanges;
        return;
    }
    // Left for another deal (or over without its end counted yet): lost, with no final score
    // unless one was reached.
    dealConcluded = true;
    const std::optional<int32_t> score =
        finalScore != kScoreNotComputed ? std::optional<int32_t>(finalScore) : std::nullopt;
    CountDealLost(userPreferences.CurrentPlayer, GetName(), score, ElapsedSeconds());
    if (services.forgetDeal) services.forgetDeal(*this);
}

void Game::KeepProgress() {
    if (positionChanges == positionChangesSaved || gameOver || dragging || inEndSequence) return;
    if (!DealUnderway() || dealConcluded) return;
    if (Services().keepDeal) Services().keepDeal(*this);
    positionChangesSaved = positionChanges;
}

SavedGame Game::CaptureDeal() {
    SavedGame saved;
    saved.gameNumber = gameNumber;
    saved.dealNumber = dealNumber;
    saved.points = points;
    saved.elapsedSeconds = ElapsedSeconds();
    // The table as a record, written into memory instead of the journal, and as the whole
    // position, which also holds what the record leaves out.
    saved.table = RecordNow();
    const std::string position = PositionBytes();
    saved.position.assign(position.begin(), position.end());
    for (int n = dealStartRecords + 1; n <= undo.Count(); ++n) {
        saved.history.push_back(undo.Record(n));
        const RecordNote& note = undo.Note(n);
        saved.notes.push_back({note.position, note.next, note.sameMove, note.wasteFanned});
    }
    return saved;
}

bool Game::ResumeDeal(const SavedGame& saved) {
    // The fresh deal is only the ground the saved table is laid on: it is not shown sliding out.
    const bool animate = Services().animate;
    Services().animate = false;
    Deal(false, saved.dealNumber);
    Services().animate = animate;
    // A file without notes counts each record as a move, as they were counted when it was written.
    const bool noted = saved.notes.size() == saved.history.size();
    for (size_t i = 0; i < saved.history.size(); ++i) {
        const SavedRecordNote note = noted ? saved.notes[i] : SavedRecordNote{};
        undo.Push(saved.history[i], {note.position, note.next, note.sameMove, note.wasteFanned});
    }
    restoringDeal = true;
    const bool restored = RestoreRecord(saved.table);
    restoringDeal = false;
    if (!restored) {
        while (undo.Count() > dealStartRecords) undo.Drop();
        return false;
    }
    points = saved.points;
    StartClock(saved.elapsedSeconds);
    // The record leaves out some of what the table showed (the fanned waste cards); the whole
    // position brings it back when it agrees with the record.
    if (!saved.position.empty() && AdoptPositionBytes(saved.position)) {
        CheckGameOver();
        Draw(true);
    }
    // The deal was counted as played when it was first left; it is not counted again.
    dealCounted = true;
    positionChangesSaved = positionChanges;
    ForgetPanel();
    DrawTable(-1);
    return true;
}
