#pragma once

#include <memory>

#include <QString>

#include "archive/modtempar.h"
#include "archive/recordset.h"
#include "archive/status.h"

namespace archive {

// The steps of every lookup of a name: choose the index "nome" and seek the name with "=".
// The cursor then stands on the name's row unless noMatch() is true.
Status seekName(Recordset& cursor, const QString& name);

// The same on a new cursor over the table, opened on the shared archive.
Status openAndSeek(Modtempar& shared, const QString& name, std::unique_ptr<Recordset>* cursor);

}  // namespace archive
