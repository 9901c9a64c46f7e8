-- Schema of the two data files. Lines between "-- @main" and "-- @main-added" make the
-- main file as its first release made it; lines after "-- @work" make the work file.
-- The "-added" sections hold what came later: every statement there says IF NOT EXISTS,
-- runs whenever a file is opened or restored, and so brings an older file up to date.
-- Amounts are INTEGER ten-thousandths (1 yen = 10000); dates are TEXT YYYY-MM-DD;
-- yes/no fields are INTEGER 0 or 1.

-- @main
CREATE TABLE "支払予定表" (
    "日付"     TEXT,
    "行番号"   INTEGER,
    "支払先名" TEXT,
    "予定額"   INTEGER,
    "支払額"   INTEGER,
    "残高"     INTEGER
);
CREATE INDEX "支払予定表_日付_行番号" ON "支払予定表" ("日付", "行番号");

CREATE TABLE "支払先マスタ" (
    "支払先名" TEXT
);

CREATE TABLE "自社情報" (
    "年号"           TEXT,
    "支払先自動登録" INTEGER,
    "LineColor1"     INTEGER
);

-- @main-added
-- The carry-over typed for a month when it differs from the balance the lines before the
-- month bring into it; "年月" is the month's first day. The balance chain starts the month
-- from it.
CREATE TABLE IF NOT EXISTS "繰越額" (
    "年月"   TEXT PRIMARY KEY,
    "繰越額" INTEGER NOT NULL
);

-- Payees are looked up by name (each name of an import, the automatic registration, the
-- payee page's deletes): the index makes that a search instead of a scan of the master.
CREATE INDEX IF NOT EXISTS "支払先マスタ_支払先名" ON "支払先マスタ" ("支払先名");

-- The payment rule of a payee, by the payee's name: "支払日" is the usual day of the month
-- (1 to 31, 0 for the month's last day, NULL to keep the day of last month's line) and
-- "休日" what a day on a bank holiday does ('前営業日', '翌営業日', 'そのまま', NULL for
-- the book's setting). A payee without a row follows the book's setting alone.
CREATE TABLE IF NOT EXISTS "支払日規則" (
    "支払先名" TEXT PRIMARY KEY,
    "支払日"   INTEGER,
    "休日"     TEXT
);

-- The book's own setting for a payment day on a bank holiday when the payee has no rule
-- for it ('前営業日', '翌営業日' or 'そのまま'). At most one row; none reads as '前営業日'.
CREATE TABLE IF NOT EXISTS "支払日設定" (
    "休日" TEXT
);

-- The bank details of a payee for the bulk-transfer file, by the payee's name (the
-- name is the key whether or not the payee master holds it). Codes and numbers are TEXT
-- of digits (leading zeros kept); names are in the banks' half-width kana; "預金種目" is
-- 1 普通, 2 当座, 4 貯蓄 or 9 その他.
CREATE TABLE IF NOT EXISTS "支払先口座" (
    "支払先名"   TEXT PRIMARY KEY,
    "銀行番号"   TEXT,
    "銀行名"     TEXT,
    "支店番号"   TEXT,
    "支店名"     TEXT,
    "預金種目"   INTEGER,
    "口座番号"   TEXT,
    "口座名義"   TEXT,
    "顧客コード" TEXT
);

-- The sender of the bulk-transfer file: the code the bank gave, the name in kana and the
-- account paid from. At most one row. "改行なし" = 1 writes the records without CR LF.
CREATE TABLE IF NOT EXISTS "振込依頼人" (
    "依頼人コード" TEXT,
    "依頼人名"     TEXT,
    "銀行番号"     TEXT,
    "銀行名"       TEXT,
    "支店番号"     TEXT,
    "支店名"       TEXT,
    "預金種目"     INTEGER,
    "口座番号"     TEXT,
    "改行なし"     INTEGER DEFAULT 0
);

-- How many times each month's stored lines were changed by a registration or a deletion:
-- every such change adds one, in the transaction that makes it. The sheet's draft keeps the
-- figure of the month its lines began from, so that a start after a failure can tell
-- whether the book already holds what the draft holds. "登録日時" is the local time of the
-- latest change (YYYY-MM-DDTHH:MM:SS).
CREATE TABLE IF NOT EXISTS "月版" (
    "年月"     TEXT PRIMARY KEY,
    "版"       INTEGER NOT NULL,
    "登録日時" TEXT
);

-- The bulk-transfer files written: the payment date, when the file was made, its count,
-- its total (ten-thousandths, like every amount) and its path; "振込記録明細" holds its
-- transfers (payee, amount and the date of the sheet line). A file for the same day and
-- the same transfers is asked about before it is written again.
CREATE TABLE IF NOT EXISTS "振込記録" (
    "記録番号"   INTEGER PRIMARY KEY,
    "振込指定日" TEXT NOT NULL,
    "作成日時"   TEXT NOT NULL,
    "件数"       INTEGER NOT NULL,
    "合計"       INTEGER NOT NULL,
    "ファイル"   TEXT
);
CREATE INDEX IF NOT EXISTS "振込記録_振込指定日" ON "振込記録" ("振込指定日");

CREATE TABLE IF NOT EXISTS "振込記録明細" (
    "記録番号" INTEGER NOT NULL,
    "支払先名" TEXT,
    "金額"     INTEGER,
    "日付"     TEXT
);
CREATE INDEX IF NOT EXISTS "振込記録明細_記録番号" ON "振込記録明細" ("記録番号");

-- The fee table of the sender's account, as the bank publishes it: for each destination
-- ("区分" 0 同行同店, 1 同行他店, 2 他行) its bands, each charging "手数料" (tax included)
-- for a transfer from "下限" up to the next band's "下限"; both amounts in ten-thousandths
-- of whole yen. A destination without rows has no fees given.
CREATE TABLE IF NOT EXISTS "振込手数料表" (
    "区分"   INTEGER NOT NULL,
    "下限"   INTEGER NOT NULL,
    "手数料" INTEGER NOT NULL,
    PRIMARY KEY ("区分", "下限")
);

-- The book's transfer fee settings: how the fee deducted from a bill borne by the payee is
-- chosen ("計算方式" '据置型', '未満手数料加算型' or '以上手数料加算型'), who bears the fee
-- of a payee without a choice of its own ("既定負担" '当方' or '先方'), and whether marking
-- transfers paid adds a line 振込手数料 with the day's fees ("手数料行" 0 or 1). At most
-- one row; none reads as 据置型, 当方 and 0.
CREATE TABLE IF NOT EXISTS "振込手数料設定" (
    "計算方式" TEXT,
    "既定負担" TEXT,
    "手数料行" INTEGER DEFAULT 0
);

-- Who bears the transfer fee of a payee ('当方' or '先方'), by the payee's name. A payee
-- without a row follows 振込手数料設定."既定負担".
CREATE TABLE IF NOT EXISTS "支払先手数料負担" (
    "支払先名" TEXT PRIMARY KEY,
    "負担"     TEXT
);

-- The columns of a bank's CSV statement, by the file's column titles joined with tabs
-- ("見出し"): counted from 0, "照会番号列" NULL when the bank writes no reference number.
-- Chosen once, when the first file of that layout is imported.
CREATE TABLE IF NOT EXISTS "明細CSV列" (
    "見出し"     TEXT PRIMARY KEY,
    "日付列"     INTEGER NOT NULL,
    "出金列"     INTEGER NOT NULL,
    "入金列"     INTEGER NOT NULL,
    "摘要列"     INTEGER NOT NULL,
    "照会番号列" INTEGER
);

-- The names bank statements gave a payee's withdrawals ("明細名", as the statement wrote
-- them), kept when the user confirmed such a match, so that later statements match them.
CREATE TABLE IF NOT EXISTS "明細名義" (
    "支払先名" TEXT NOT NULL,
    "明細名"   TEXT NOT NULL,
    PRIMARY KEY ("支払先名", "明細名")
);

-- The statement lines already reconciled, so that a statement imported again proposes
-- nothing for them: "照合キー" is the account, day and reference number (照会番号) the bank
-- gave the line, or, without one, the line's contents and its place among equal lines;
-- "処理" is '消込' (paid lines of the book), '追加' (added as a paid line) or '見送り'.
CREATE TABLE IF NOT EXISTS "明細消込" (
    "照合キー" TEXT PRIMARY KEY,
    "勘定日"   TEXT NOT NULL,
    "金額"     INTEGER NOT NULL,
    "処理"     TEXT NOT NULL,
    "消込日時" TEXT
);
CREATE INDEX IF NOT EXISTS "明細消込_勘定日" ON "明細消込" ("勘定日");

-- How many bank business days a withdrawal may lie from its line's day and still match
-- it. At most one row; none reads as 3.
CREATE TABLE IF NOT EXISTS "明細照合設定" (
    "営業日幅" INTEGER
);

-- @work
-- The three sheet tables share one layout so that rows copy between them with
-- SELECT *. "元日付" and "元支払先名" keep the date and payee a line was loaded
-- with, so that saving can replace the stored original of an edited line.
CREATE TABLE "InpWork" (
    "行番号"     INTEGER,
    "元行番号"   INTEGER,
    "表示日付"   TEXT,
    "日付"       TEXT,
    "支払先名"   TEXT,
    "予定額"     INTEGER DEFAULT 0,
    "支払額"     INTEGER DEFAULT 0,
    "残高"       INTEGER DEFAULT 0,
    "元日付"     TEXT,
    "元支払先名" TEXT
);

CREATE TABLE "InpWorkSort" (
    "行番号"     INTEGER,
    "元行番号"   INTEGER,
    "表示日付"   TEXT,
    "日付"       TEXT,
    "支払先名"   TEXT,
    "予定額"     INTEGER DEFAULT 0,
    "支払額"     INTEGER DEFAULT 0,
    "残高"       INTEGER DEFAULT 0,
    "元日付"     TEXT,
    "元支払先名" TEXT
);

CREATE TABLE "InpWork印刷" (
    "行番号"     INTEGER,
    "元行番号"   INTEGER,
    "表示日付"   TEXT,
    "日付"       TEXT,
    "支払先名"   TEXT,
    "予定額"     INTEGER DEFAULT 0,
    "支払額"     INTEGER DEFAULT 0,
    "残高"       INTEGER DEFAULT 0,
    "元日付"     TEXT,
    "元支払先名" TEXT
);

CREATE TABLE "w支払先名" (
    "支払先名" TEXT
);

CREATE TABLE "w支払先マスタ" (
    "チェック" INTEGER DEFAULT 0,
    "支払先名" TEXT
);

CREATE TABLE "ClHint" (
    "FormName"  TEXT,
    "CtlName"   TEXT,
    "FormTitle" TEXT,
    "Contents"  TEXT
);

-- @work-added
-- What the sheet in InpWork is: the month it belongs to, the carry-over shown above it, and
-- whether it holds changes that were not registered. At most one row.
CREATE TABLE IF NOT EXISTS "InpWork状態" (
    "年月"   TEXT,
    "繰越額" INTEGER,
    "未登録" INTEGER DEFAULT 0
);

-- The book's version (月版."版") of the month the draft's lines began from: set when the
-- month is loaded or registered. A draft whose month was changed in the book since is not
-- shown again as unregistered. At most one row.
CREATE TABLE IF NOT EXISTS "InpWork基準" (
    "年月" TEXT,
    "版"   INTEGER
);

-- The names of the payee page's copy (w支払先マスタ) as they were read from the master, by
-- the copy's rowid: a row whose name differs at registration was renamed, and the payee's
-- bank details and payment rule follow the new name. A row deleted from the copy loses its
-- entry (a trigger of the work connection), so a rowid used again never looks renamed.
CREATE TABLE IF NOT EXISTS "w支払先元名" (
    "支払先名" TEXT
);
