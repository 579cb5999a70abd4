// What the windows say about an error that ended a scan of the log.
#pragma once

#include <QString>

#include "quorvane/errors.h"

// One line naming the log at `path`, as the report tool writes it, whatever characters the
// file name holds.
QString ErrorMessage(const quorvane::TallyError& error, const QString& path);
