#pragma once
// `qc --history DB`: the run's judgements kept in the QC history, each
// channel under the vibrator it belongs to (--vibrator NAME, or
// --vibrator-from comment|name --pattern REGEX, else the file's name; in
// Similarity the channel's own name).

#include <memory>
#include <vector>

#include "CliArgs.h"
#include "QcCheck.h"
#include "platform/QcHistoryStore.h"

namespace kalvex::cli {

// The vibrator options into the run; a bad combination or pattern is a
// usage error.
void ReadVibratorOptions(const CliArgs& args, QcRun& run);

// The history of --history, opened before any file is checked, so that a
// damaged or foreign database is refused at once (exit 3); null without it.
std::unique_ptr<QcHistoryStore> OpenHistoryOption(const CliArgs& args, QcRun& run);

// Stores every checked file; says on standard error how many were stored and
// how many were kept already. False when one could not be stored (its
// message said why; the database keeps what it had before that file).
bool StoreJudgements(QcHistoryStore& store, const std::vector<QcFileResult>& files,
                     const QcRun& run);

}  // namespace kalvex::cli
