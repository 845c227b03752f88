#pragma once

// The tables the main window reads and writes, with a few rows in deliberately unsorted,
// mixed-case order.
extern const char* const kEditorTestDatabase;

// The value lists of the main window's tests.
extern const char* const kEditorTestValueLists;
