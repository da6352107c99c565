// What a save running on another thread shares with the window waiting for it: how far it has
// got, and the window's wish that it stop.
#pragma once

#include <QtGlobal>

#include <atomic>

struct SaveProgress
{
    enum class Stage {
        Writing, // the bitmap's bytes are being made and written
        Syncing, // every byte is written; the system is making them durable
    };

    std::atomic<qint64> written { 0 }; // bytes handed to the system so far
    std::atomic<Stage> stage { Stage::Writing };
    // Set by the window; the save looks at it between blocks, before the sync and after it, just
    // before the new file replaces the earlier one, and stops with the earlier file as it was.
    // Past that point the save goes on to its end.
    std::atomic<bool> cancelled { false };
};
