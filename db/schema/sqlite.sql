-- Korvel's tables in the embedded database (SQLite).
--
-- The columns carry the SQL Server type names of sqlserver.sql, which the embedded client
-- turns into the type codes SQL Server reports; a test keeps the two files in step. The
-- differences are SQLite's own: an identity is INTEGER PRIMARY KEY AUTOINCREMENT (INTEGER
-- is T-SQL's synonym of int); a type with (max) is bracketed, since SQLite's grammar
-- allows only numbers between a type's parentheses (the brackets are not part of the
-- declared type); defaults call no function that only Korvel's client provides (a plain
-- sqlite3 shell opens this database too); and the two large tables with a composite key
-- are stored WITHOUT ROWID.
--
-- Why the label tables are keyed as they are: see sqlserver.sql.

CREATE TABLE tblUserInfo (
    UserID nvarchar(20) NOT NULL,
    Password nvarchar(50) NULL,
    UserName nvarchar(50) NOT NULL,
    Department nvarchar(50) NULL,
    Permission int NOT NULL DEFAULT 1,
    IsActive bit NOT NULL DEFAULT 1,
    CreatedAt datetime NOT NULL DEFAULT CURRENT_TIMESTAMP,
    LastLogin datetime NULL,
    CONSTRAINT PK_tblUserInfo PRIMARY KEY (UserID)
);

CREATE TABLE tblHarnessInfo (
    HarnessID INTEGER PRIMARY KEY AUTOINCREMENT,
    HarnessNo nvarchar(50) NOT NULL,
    HarnessName nvarchar(100) NULL,
    Customer nvarchar(100) NULL,
    Revision varchar(10) NULL,
    WireCount int NOT NULL DEFAULT 0,
    CreatedBy nvarchar(20) NULL,
    CreatedAt datetime NOT NULL DEFAULT CURRENT_TIMESTAMP,
    Remark nvarchar(200) NULL
);
CREATE INDEX IX_tblHarnessInfo_HarnessNo ON tblHarnessInfo (HarnessNo);

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
) WITHOUT ROWID;

CREATE TABLE tblJobInfo (
    JobID INTEGER PRIMARY KEY AUTOINCREMENT,
    JobNo nvarchar(50) NOT NULL,
    HarnessID int NULL,
    Quantity int NOT NULL DEFAULT 0,
    Priority tinyint NOT NULL DEFAULT 2,
    Status tinyint NOT NULL DEFAULT 0,
    Customer nvarchar(100) NULL,
    CreatedBy nvarchar(20) NULL,
    CreatedAt datetime NOT NULL DEFAULT CURRENT_TIMESTAMP,
    DueDate datetime NULL,
    FinishedAt datetime NULL,
    Remark nvarchar(200) NULL,
    CONSTRAINT FK_tblJobInfo_Harness FOREIGN KEY (HarnessID) REFERENCES tblHarnessInfo (HarnessID)
);
CREATE INDEX IX_tblJobInfo_JobNo ON tblJobInfo (JobNo);

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
) WITHOUT ROWID;

CREATE TABLE tblLabelInfo (
    LabelID uniqueidentifier NOT NULL,
    LabelNo nvarchar(50) NOT NULL,
    LabelName nvarchar(100) NULL,
    LabelStatus int NOT NULL DEFAULT 1,
    PaperWidth decimal(6,2) NOT NULL,
    PaperHeight decimal(6,2) NOT NULL,
    Dpi smallint NOT NULL DEFAULT 203,
    Darkness tinyint NULL,
    PrinterModel varchar(50) NULL,
    Description [nvarchar(max)] NULL,
    Logo image NULL,
    Checksum varbinary(16) NULL,
    IsLocked bit NOT NULL DEFAULT 0,
    CreatedBy nvarchar(20) NULL,
    CreatedAt datetime NOT NULL DEFAULT CURRENT_TIMESTAMP,
    ModifiedAt datetime NULL,
    CONSTRAINT PK_tblLabelInfo PRIMARY KEY (LabelID)
);
CREATE INDEX IX_tblLabelInfo_LabelNo ON tblLabelInfo (LabelNo);
CREATE INDEX IX_tblLabelInfo_LabelStatus ON tblLabelInfo (LabelStatus);

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
    Picture [varbinary(max)] NULL,
    CONSTRAINT PK_tblLabelControls PRIMARY KEY (LabelID, ControlNo),
    CONSTRAINT FK_tblLabelControls_Label FOREIGN KEY (LabelID) REFERENCES tblLabelInfo (LabelID)
);
CREATE INDEX IX_tblLabelControls_ItemID ON tblLabelControls (ItemID);

CREATE TABLE tblLabelControlItem (
    LineID INTEGER PRIMARY KEY AUTOINCREMENT,
    ItemID uniqueidentifier NOT NULL,
    ItemName nvarchar(50) NOT NULL,
    SourceType tinyint NOT NULL DEFAULT 0,
    FieldName varchar(50) NULL,
    DefaultValue nvarchar(200) NULL,
    FormatString nvarchar(50) NULL,
    MaxLength smallint NULL,
    CounterStart bigint NULL,
    ModifiedAt datetime NULL
);
CREATE UNIQUE INDEX IX_tblLabelControlItem_ItemID ON tblLabelControlItem (ItemID);
