#pragma once
// A bench tool's "--name value" option, the same way for every tool.
#include <QString>
#include <QStringList>

namespace bench {

// The word after name in args; fallback when name is absent or ends the list.
QString Option(const QStringList& args, const QString& name, const QString& fallback = QString());

} // namespace bench
