#pragma once

// The ADO data type codes that SQL Server's OLE DB provider reports, the only ones that
// decide how a value is written into a statement.
enum AdoType : int {
    adEmpty = 0,
    adSmallInt = 2,
    adInteger = 3,
    adSingle = 4,
    adDouble = 5,
    adCurrency = 6,
    adDate = 7,
    adBoolean = 11,
    adVariant = 12,
    adDecimal = 14,
    adTinyInt = 16,
    adUnsignedTinyInt = 17,
    adUnsignedSmallInt = 18,
    adUnsignedInt = 19,
    adBigInt = 20,
    adUnsignedBigInt = 21,
    adGUID = 72,
    adBinary = 128,
    adChar = 129,
    adWChar = 130,
    adNumeric = 131,
    adDBDate = 133,
    adDBTime = 134,
    adDBTimeStamp = 135,
    adVarNumeric = 139,
    adVarChar = 200,
    adLongVarChar = 201,
    adVarWChar = 202,
    adLongVarWChar = 203,
    adVarBinary = 204,
    adLongVarBinary = 205,
};

// What a column holds, as far as the values it takes go: its ADO type code and the limits
// of its declaration.
struct ColumnType
{
    int adoType = adEmpty;
    // Text: the characters (wide types) or bytes (narrow types) it holds; binary: its bytes;
    // decimal: its precision. 0 when the declaration sets no limit ((max), text, image).
    int size = 0;
    // Decimal: the digits after the point; date-time: the fraction digits it keeps.
    int scale = 0;
};
