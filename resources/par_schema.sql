-- The tables of the parameter database Par.mdb. The declared types are the ones the program
-- reads and writes: TEXT, SMALLINT (16 bits), INTEGER (32 bits), SINGLE, DOUBLE, BOOLEAN.

-- Option values of the envelope tab, one row per option ordinal.
CREATE TABLE 默认 (Ord DOUBLE, Val TEXT);

-- Box texts (Ctl 0 to 10) and the chosen envelope size (Ctl -1).
CREATE TABLE 内容 (Ctl SMALLINT, Con TEXT);

-- Stored envelope formats: eleven rows per size, found by the first three characters of Name.
CREATE TABLE 格式 (
  Name TEXT,
  Ctl SMALLINT,
  X DOUBLE,
  Y DOUBLE,
  W DOUBLE,
  H DOUBLE,
  Color INTEGER,
  fName TEXT,
  fSize SINGLE,
  fBold BOOLEAN,
  fItalic BOOLEAN,
  fUnderline BOOLEAN,
  fStrikethru BOOLEAN
);

-- The default formats of the standard sizes, shipped with the program (same columns as 格式);
-- a size the user saved in 格式 takes its format from there.
CREATE TABLE 标准格式 (
  Name TEXT,
  Ctl SMALLINT,
  X DOUBLE,
  Y DOUBLE,
  W DOUBLE,
  H DOUBLE,
  Color INTEGER,
  fName TEXT,
  fSize SINGLE,
  fBold BOOLEAN,
  fItalic BOOLEAN,
  fUnderline BOOLEAN,
  fStrikethru BOOLEAN
);

-- Postcodes by province and region; read only.
CREATE TABLE 邮编 (省份 TEXT, 地区 TEXT, 邮编 TEXT);
