-- The Cartlist database: five tables. Text compares and sorts without regard to case.
-- Identifiers are assigned by the database and never reused, so a row added after the
-- highest one was deleted still carries a new, higher identifier.

CREATE TABLE Cartstock (
    ID       INTEGER PRIMARY KEY AUTOINCREMENT,
    Item     TEXT COLLATE NOCASE,
    Category TEXT COLLATE NOCASE,
    Aisle    TEXT COLLATE NOCASE
);
CREATE INDEX CartstockByItem ON Cartstock (Item);

CREATE TABLE Categories (
    Categories TEXT COLLATE NOCASE,
    ID         INTEGER PRIMARY KEY AUTOINCREMENT
);

-- The shopping list, columns in the order the list grid shows them.
-- Date is a calendar date as ISO text, YYYY-MM-DD.
CREATE TABLE Selected (
    Item     TEXT COLLATE NOCASE,
    Category TEXT COLLATE NOCASE,
    Aisle    TEXT COLLATE NOCASE,
    Quantity TEXT COLLATE NOCASE,
    Date     DATE CHECK (Date IS NULL OR (typeof(Date) = 'text' AND Date IS date(Date))),
    ID       INTEGER PRIMARY KEY AUTOINCREMENT
);

-- One row each: the appearance of the main window and of the item editor.
-- Colours are integers with red in the lowest byte, then green, then blue.
CREATE TABLE Settings (
    FontName  TEXT,
    FontSize  REAL,
    FontIt    BOOLEAN,
    FontBo    BOOLEAN,
    BackColor INTEGER,
    ForeColor INTEGER
);

CREATE TABLE Settings2 (
    FontName  TEXT,
    FontSize  REAL,
    FontIt    BOOLEAN,
    FontBo    BOOLEAN,
    BackColor INTEGER,
    ForeColor INTEGER
);

-- Dark blue text and window ground, light cream back colour.
INSERT INTO Settings  (FontName, FontSize, FontIt, FontBo, BackColor, ForeColor)
VALUES ('Arial', 10, 0, 0, 14745599, 8388608);
INSERT INTO Settings2 (FontName, FontSize, FontIt, FontBo, BackColor, ForeColor)
VALUES ('Arial', 10, 0, 0, 14745599, 8388608);
