#pragma once

#include "util/Outcome.h"

#include <QString>

namespace korvel {

// One login attempt: the password typed, compared exactly (case and blanks count) with the
// one stored for the user Admin in tblUserInfo, over a connection of its own that is closed
// before the comparison. Fails with "连接数据库失败" when the database cannot be reached,
// "获取数据库信息失败" when the password cannot be read or Admin has no row, and "密码错误"
// when the passwords differ. A NULL password is an empty one.
Outcome checkAdminPassword(const QString& connectionString, const QString& typedPassword);

} // namespace korvel
