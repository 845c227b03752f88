#pragma once

#include <QString>

class CAdoDatabase;

// Asked when the label number of an imported row already exists in the target.
class DuplicateLabelResolver {
public:
    virtual ~DuplicateLabelResolver() = default;
    // The database is the import's open connection (RowExists must run on it). True with a number
    // that did not exist when the user confirmed it; false when the user gave up.
    virtual bool ResolveDuplicateLabelNo(CAdoDatabase& database, const QString& oldValue, QString& newValue) = 0;
};
