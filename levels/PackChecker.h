// The level pack checker for authors: what each level of a pack builds on a field.
#pragma once

#include <QString>
#include <QTextStream>

namespace kestrum {

// Prints, for Level0 ... Level10, the number of records and a warning for each problem: a
// value that cannot be read (with its key), a record off the field, one on the snake's
// start cells or the cell ahead, records dropped past the table's end, a missing section
// (and a file with none at all). Returns the number of warnings; a pack that cannot be
// opened counts as one.
int checkLevelPack(const QString& path, int fieldSize, QTextStream& out);

}  // namespace kestrum
