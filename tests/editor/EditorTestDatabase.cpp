#include "tests/editor/EditorTestDatabase.h"

const char* const kEditorTestDatabase =
    "CREATE TABLE tblUserInfo (UserID nvarchar(20), Password nvarchar(50));"
    "INSERT INTO tblUserInfo VALUES ('Admin', 'korvel');"
    "CREATE TABLE tblHarnessInfo (HarnessID int, HarnessNo nvarchar(50));"
    "INSERT INTO tblHarnessInfo VALUES (1, 'wh-b'), (2, 'WH-A'), (3, 'wh-c'), (4, 'WH-D');"
    "CREATE TABLE tblHarnessWireInfo (HarnessID int, WireNo nvarchar(20), HarnessType int, WireGroup nvarchar(20));"
    "INSERT INTO tblHarnessWireInfo VALUES (1, 'W2', 0, ''), (1, 'w1', 0, ''), (2, 'w1', 0, ''), (2, 'W3', 0, ''),"
    " (4, 'W9', 0, '');"
    "CREATE TABLE tblJobInfo (JobID int, JobNo nvarchar(50));"
    "INSERT INTO tblJobInfo VALUES (10, 'job-2'), (11, 'JOB-1');"
    "CREATE TABLE tblJobStepInfo (JobID int, LineID int, TestMode int, TestGroup nvarchar(20));"
    "INSERT INTO tblJobStepInfo VALUES (10, 16, 0, ''), (10, 15, 0, ''), (11, 15, 0, ''), (11, 17, 0, '');"
    "CREATE TABLE tblLabelInfo (LabelID uniqueidentifier, LabelNo nvarchar(20), LabelStatus int);"
    "INSERT INTO tblLabelInfo VALUES ('{00000000-0000-0000-0000-000000000001}', 'L-2', 1),"
    " ('{00000000-0000-0000-0000-000000000002}', 'l-1', 1), ('{00000000-0000-0000-0000-000000000003}', 'L-OFF', 0);";

const char* const kEditorTestValueLists = "联线类型&导通&3;联线类型&负数& -7;联线类型&字母&abc;联线类型&前缀&12abc;"
                                          "测试组&A组&GA;测试组&空组&;测试模式&快速&1;测试组2&B组&GB;";
