-- Korvel's tables for a SQL Server deployment (T-SQL).
--
-- sqlite.sql declares the same tables and columns with the same type names for the
-- embedded database, postgresql.sql in PostgreSQL's types for the tests of the ODBC
-- client; a test keeps the three files in step. One column per line, and table
-- constraints on lines of their own that start with CONSTRAINT.
--
-- The label import inserts tblLabelInfo first, then tblLabelControls, then
-- tblLabelControlItem, each with all its columns except the item's LineID, and gives every
-- LabelID and ItemID a fresh value. Hence:
--   * tblLabelControls has no key of its own that the import would copy unchanged: its
--     key is the label's LabelID with the control's number within the label;
--   * tblLabelControls.ItemID has no foreign key, since a control is inserted before its
--     item;
--   * tblLabelControlItem.LineID is an identity that the import leaves to the server.

CREATE TABLE tblUserInfo (
    UserID nvarchar(20) NOT NULL,
    Password nvarchar(50) NULL,
    UserName nvarchar(50) NOT NULL,
    Department nvarchar(50) NULL,
    Permission int NOT NULL DEFAULT 1,
    IsActive bit NOT NULL DEFAULT 1,
    CreatedAt datetime NOT NULL DEFAULT GETDATE(),
    LastLogin datetime NULL,
    CONSTRAINT PK_tblUserInfo PRIMARY KEY (UserID)
);

CREATE TABLE tblHarnessInfo (
    HarnessID int IDENTITY(1,1) NOT NULL,
    HarnessNo nvarchar(50) NOT NULL,
    HarnessName nvarchar(100) NULL,
    Customer nvarchar(100) NULL,
    Revision varchar(10) NULL,
    WireCount int NOT NULL DEFAULT 0,
    CreatedBy nvarchar(20) NULL,
    CreatedAt datetime NOT NULL DEFAULT GETDATE(),
    Remark nvarchar(200) NULL,
    CONSTRAINT PK_tblHarnessInfo PRIMARY KEY (HarnessID)
);
CREATE INDEX IX_tblHarnessInfo_HarnessNo ON tblHarnessInfo (HarnessNo);

-- The primary key also serves the program's look-up of a harness's wires.
CREATE TABLE tblHarnessWireInfo (
    HarnessID int NOT NULL,
    WireNo nvarchar(20) NOT NULL,
    HarnessType int NULL,
    WireGroup nvarchar(20) NULL,
    FromConnector nvarchar(20) NULL,
    FromPin nvarchar(10) NULL,
    ToConnector nvarchar(20) NULL,
    ToPin nvarchar(10) NULL,
    WireColor nvarchar(20) NULL,
    CrossSection decimal(5,2) NULL,
    LengthMm int NULL,
    Remark nvarchar(200) NULL,
    CONSTRAINT PK_tblHarnessWireInfo PRIMARY KEY (HarnessID, WireNo),
    CONSTRAINT FK_tblHarnessWireInfo_Harness FOREIGN KEY (HarnessID) REFERENCES tblHarnessInfo (HarnessID)
);

CREATE TABLE tblJobInfo (
    JobID int IDENTITY(1,1) NOT NULL,
    JobNo nvarchar(50) NOT NULL,
    HarnessID int NULL,
    Quantity int NOT NULL DEFAULT 0,
    Priority tinyint NOT NULL DEFAULT 2,
    Status tinyint NOT NULL DEFAULT 0,
    Customer nvarchar(100) NULL,
    CreatedBy nvarchar(20) NULL,
    CreatedAt datetime NOT NULL DEFAULT GETDATE(),
    DueDate datetime NULL,
    FinishedAt datetime NULL,
    Remark nvarchar(200) NULL,
    CONSTRAINT PK_tblJobInfo PRIMARY KEY (JobID),
    CONSTRAINT FK_tblJobInfo_Harness FOREIGN KEY (HarnessID) REFERENCES tblHarnessInfo (HarnessID)
);
CREATE INDEX IX_tblJobInfo_JobNo ON tblJobInfo (JobNo);

-- LineID is the step's number within its job, 1 to n; the primary key also serves the
-- program's look-up of a job's steps.
CREATE TABLE tblJobStepInfo (
    JobID int NOT NULL,
    LineID int NOT NULL,
    StepName nvarchar(50) NULL,
    TestMode int NULL,
    TestGroup nvarchar(20) NULL,
    Voltage decimal(7,2) NULL,
    DurationMs int NULL,
    Remark nvarchar(200) NULL,
    CONSTRAINT PK_tblJobStepInfo PRIMARY KEY (JobID, LineID),
    CONSTRAINT FK_tblJobStepInfo_Job FOREIGN KEY (JobID) REFERENCES tblJobInfo (JobID)
);

CREATE TABLE tblLabelInfo (
    LabelID uniqueidentifier NOT NULL DEFAULT NEWID(),
    LabelNo nvarchar(50) NOT NULL,
    LabelName nvarchar(100) NULL,
    LabelStatus int NOT NULL DEFAULT 1,
    PaperWidth decimal(6,2) NOT NULL,
    PaperHeight decimal(6,2) NOT NULL,
    Dpi smallint NOT NULL DEFAULT 203,
    Darkness tinyint NULL,
    PrinterModel varchar(50) NULL,
    Description nvarchar(max) NULL,
    Logo image NULL,
    Checksum varbinary(16) NULL,
    IsLocked bit NOT NULL DEFAULT 0,
    CreatedBy nvarchar(20) NULL,
    CreatedAt datetime NOT NULL DEFAULT GETDATE(),
    ModifiedAt datetime NULL,
    CONSTRAINT PK_tblLabelInfo PRIMARY KEY (LabelID)
);
CREATE INDEX IX_tblLabelInfo_LabelNo ON tblLabelInfo (LabelNo);
CREATE INDEX IX_tblLabelInfo_LabelStatus ON tblLabelInfo (LabelStatus);

-- The primary key also serves the look-up of a label's controls.
CREATE TABLE tblLabelControls (
    LabelID uniqueidentifier NOT NULL,
    ControlNo int NOT NULL,
    ItemID uniqueidentifier NOT NULL,
    ControlType tinyint NOT NULL,
    X int NOT NULL,
    Y int NOT NULL,
    Width int NOT NULL,
    Height int NOT NULL,
    Rotation smallint NOT NULL DEFAULT 0,
    FontName nvarchar(50) NULL,
    FontSize decimal(5,2) NULL,
    Bold bit NOT NULL DEFAULT 0,
    Italic bit NOT NULL DEFAULT 0,
    ForeColor int NOT NULL DEFAULT 0,
    BarcodeType varchar(20) NULL,
    PrintText nvarchar(200) NULL,
    FillPattern binary(8) NULL,
    Picture varbinary(max) NULL,
    CONSTRAINT PK_tblLabelControls PRIMARY KEY (LabelID, ControlNo),
    CONSTRAINT FK_tblLabelControls_Label FOREIGN KEY (LabelID) REFERENCES tblLabelInfo (LabelID)
);
CREATE INDEX IX_tblLabelControls_ItemID ON tblLabelControls (ItemID);

CREATE TABLE tblLabelControlItem (
    LineID int IDENTITY(1,1) NOT NULL,
    ItemID uniqueidentifier NOT NULL DEFAULT NEWID(),
    ItemName nvarchar(50) NOT NULL,
    SourceType tinyint NOT NULL DEFAULT 0,
    FieldName varchar(50) NULL,
    DefaultValue nvarchar(200) NULL,
    FormatString nvarchar(50) NULL,
    MaxLength smallint NULL,
    CounterStart bigint NULL,
    ModifiedAt datetime NULL,
    CONSTRAINT PK_tblLabelControlItem PRIMARY KEY (LineID)
);
CREATE UNIQUE INDEX IX_tblLabelControlItem_ItemID ON tblLabelControlItem (ItemID);
