-- The findings of `vrelmont-cli check --checks all`, found by SQL: each duplicate-key check compares a
-- record with its neighbour before it (LAG) in the order of the check's index. Run with the stock items
-- attached as "s" and the master cards as "k". Prints one finding line per row, like the check run.
.bail on
.headers off
.mode list

-- 1: duplicate stock item numbers
SELECT 'Nalezena duplicitní skladová zásoba č. ' || pc || ' ve skladu č. ' || ps FROM (
  SELECT Sklad, Cislo, LAG(Sklad) OVER w AS ps, LAG(Cislo) OVER w AS pc
  FROM s.SKSEZZAS WINDOW w AS (ORDER BY Sklad, Cislo, rowid))
WHERE Sklad = ps AND Cislo = pc;

-- 3: duplicate card numbers
SELECT 'Nalezena duplicitní kmenová karta č. ' || pc FROM (
  SELECT Cislo, LAG(Cislo) OVER w AS pc FROM k.SKKMKART WINDOW w AS (ORDER BY Cislo, rowid))
WHERE Cislo = pc;

-- 2: stock items without a card
SELECT 'Ke skladové zásobě č. ' || z.Cislo || ' neexistuje kmenová karta.'
FROM s.SKSEZZAS AS z WHERE NOT EXISTS (SELECT 1 FROM k.SKKMKART AS c WHERE c.Cislo = z.Cislo);

-- 14, 15: records without description
SELECT 'Nalezena kmenová karta č. ' || Cislo || ', která nemá popis' FROM k.SKKMKART WHERE Popis = '';
SELECT 'Nalezena skladová zásoba č. ' || Cislo || ' ve skladu č. ' || Sklad || ', která nemá popis'
FROM s.SKSEZZAS WHERE Popis = '';

-- 4, 6, 8, 10, 12: duplicate texts of cards (empty texts are no duplicates, except descriptions)
SELECT 'Nalezena kmenová karta č. ' || Cislo || ' s duplicitním PLU ' || p FROM (
  SELECT Cislo, UzivCode AS v, LAG(UzivCode) OVER w AS p FROM k.SKKMKART WINDOW w AS (ORDER BY UzivCode, rowid))
WHERE v = p AND p <> '';
SELECT 'Nalezena kmenová karta č. ' || Cislo || ' s duplicitním katalog. číslem ' || p FROM (
  SELECT Cislo, Katalog AS v, LAG(Katalog) OVER w AS p FROM k.SKKMKART WINDOW w AS (ORDER BY Katalog, rowid))
WHERE v = p AND p <> '';
SELECT 'Nalezena kmenová karta č. ' || Cislo || ' s duplicitním čár. kódem ' || p FROM (
  SELECT Cislo, BarCode AS v, LAG(BarCode) OVER w AS p FROM k.SKKMKART WINDOW w AS (ORDER BY BarCode, rowid))
WHERE v = p AND p <> '';
SELECT 'Nalezena kmenová karta č. ' || Cislo || ' s duplicitní zkratkou ' || p FROM (
  SELECT Cislo, Zkrat AS v, LAG(Zkrat) OVER w AS p FROM k.SKKMKART WINDOW w AS (ORDER BY Zkrat, rowid))
WHERE v = p AND p <> '';
SELECT 'Nalezena kmenová karta č. ' || Cislo || ' s duplicitním popisem ' || p FROM (
  SELECT Cislo, Popis AS v, LAG(Popis) OVER w AS p FROM k.SKKMKART WINDOW w AS (ORDER BY Popis, rowid))
WHERE v = p;

-- 5, 7, 9, 11, 13: duplicate texts of stock items within one warehouse
SELECT 'Nalezena skladová zásoba č. ' || Cislo || ' ve skladu č. ' || ps || ', která má duplicitní PLU ' || p FROM (
  SELECT Cislo, Sklad, UzivCode AS v, LAG(Sklad) OVER w AS ps, LAG(UzivCode) OVER w AS p
  FROM s.SKSEZZAS WINDOW w AS (ORDER BY Sklad, UzivCode, rowid))
WHERE Sklad = ps AND v = p AND p <> '';
SELECT 'Nalezena skladová zásoba č. ' || Cislo || ' ve skladu č. ' || ps || ', která má duplicitní katalog. číslo ' || p FROM (
  SELECT Cislo, Sklad, Katalog AS v, LAG(Sklad) OVER w AS ps, LAG(Katalog) OVER w AS p
  FROM s.SKSEZZAS WINDOW w AS (ORDER BY Sklad, Katalog, rowid))
WHERE Sklad = ps AND v = p AND p <> '';
SELECT 'Nalezena skladová zásoba č. ' || Cislo || ' ve skladu č. ' || ps || ', která má duplicitní čár. kód ' || p FROM (
  SELECT Cislo, Sklad, BarCode AS v, LAG(Sklad) OVER w AS ps, LAG(BarCode) OVER w AS p
  FROM s.SKSEZZAS WINDOW w AS (ORDER BY Sklad, BarCode, rowid))
WHERE Sklad = ps AND v = p AND p <> '';
SELECT 'Nalezena skladová zásoba č. ' || Cislo || ' ve skladu č. ' || ps || ', která má duplicitní zkratku ' || p FROM (
  SELECT Cislo, Sklad, Zkrat AS v, LAG(Sklad) OVER w AS ps, LAG(Zkrat) OVER w AS p
  FROM s.SKSEZZAS WINDOW w AS (ORDER BY Sklad, Zkrat, rowid))
WHERE Sklad = ps AND v = p AND p <> '';
SELECT 'Nalezena skladová zásoba č. ' || Cislo || ' ve skladu č. ' || ps || ', která má duplicitní popis ' || p FROM (
  SELECT Cislo, Sklad, Popis AS v, LAG(Sklad) OVER w AS ps, LAG(Popis) OVER w AS p
  FROM s.SKSEZZAS WINDOW w AS (ORDER BY Sklad, Popis, rowid))
WHERE Sklad = ps AND v = p;
