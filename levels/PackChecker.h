// The level pack checker for authors: what each level of a pack builds on a field.
#pragma once

#include <QString>
#include <QTextStream>

namespace kestrum {

// Prints, for Level0 ... Level10, the number of records, every warning with its key and
// every record off the field or dropped past the table's end. Returns the number of
// warnings; a pack that cannot be opened counts as one.
int checkLevelPack(const QString& path, int fieldSize, QTextStream& out);

}  // namespace kestrum
