#pragma once

#include "util/Outcome.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <array>

namespace korvel {

// Entry text → value, ordered by UTF-16 code units (QString's own ordering).
using ValueList = QMap<QString, QString>;

// The four lists of the value-list file, in the order the loader tries their names.
enum ValueListIndex { kConnectTypeList, kTestGroupList, kTestGroup2List, kTestModeList, kValueListCount };
using ValueLists = std::array<ValueList, kValueListCount>;

// "联线类型", "测试组", "测试组2", "测试模式", indexed by ValueListIndex.
const std::array<QString, kValueListCount>& valueListNames();

// The pieces between the separators, empty ones included: k separators give k + 1
// pieces, an empty text one empty piece.
QStringList splitText(const QString& text, QChar separator);

inline const QString kValueListFileName = QStringLiteral("SQL配置.ini");

// The lists of a plaintext of lines "list&entry&value" separated by ';'. Lines of other
// lists, and lines with fewer than three fields, are ignored; within a list the first
// line of an entry wins.
ValueLists parseValueListText(const QString& plaintext);

// The plaintext of the file's bytes: deciphered, and GBK up to the first NUL.
QString decipherValueListFile(const QByteArray& fileBytes);

// The lists of a value-list file. Nothing at the path fails with "配置文件不存在", a file
// that cannot be read with the reader's message, each with four empty lists; a file
// without usable lines is no failure.
Result<ValueLists> readValueListFile(const QString& path);

} // namespace korvel
