// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <QFile>
#include <QString>

namespace velumbra {

/// Opens @p path for reading into @p file, and only if it is a plain file: a
/// pipe or a device would keep a reader waiting for ever. A path holding bytes
/// that are not UTF-8 (see platform/folders.h) is opened by those bytes.
[[nodiscard]] Result<> openPlainFile(QFile &file, const QString &path);

} // namespace velumbra
