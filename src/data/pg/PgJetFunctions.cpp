// The Jet functions and operators of translated SQL, as SQL functions in the engine's own
// schema on the server. Functions of one expression are written in SQL so that the server can
// inline them into the queries that call them.
//
// Where no parameter is text, such a function's body is written as "RETURN expression": the
// server keeps it parsed, with every name already looked up, and puts it in place of a call
// without parsing it again. A body in quotes is parsed, and its names looked up, for each call
// each time a statement is planned: on a new session, with nothing in the server's caches yet,
// that is a tenth of the first statement's time. A body
// that takes text stays in quotes, because the server parses a quoted body under the
// collation of the call's text, and a stored one under the default collation: jet_text and
// jet_sort(text) are the exceptions, as their bodies name the collation they compare under.
#include "PgJetFunctions.h"

#include "PgJetArithmetic.h"
#include "PgJetFormat.h"
#include "PgJetGroupFunctions.h"

#include <string>

namespace velmora::data::pg {

namespace {

// The schema, its collation and types.
const char* schemaSql() {
    return R"SQL(
CREATE SCHEMA IF NOT EXISTS velmora_jet;
-- Everyone may use the engine's functions and collation: an index on a table of the
-- administrators' role runs its expression as that role, whatever login creates it.
GRANT USAGE ON SCHEMA velmora_jet TO PUBLIC;
-- Text compared as Jet compares it: the root order, letter case ignored, accents kept. The
-- locale is the BCP 47 tag und-u-ks-level2 in ICU's own spelling: ICU turns a BCP 47 tag
-- into that by first loading its tables of every key and type, which cost each new session
-- about 5 ms before its first comparison of text. Data sets made before keep the tag; both
-- compare alike.
DO $$ BEGIN
  CREATE COLLATION velmora_jet.jet_nocase (provider = icu, locale = 'und@colStrength=secondary', deterministic = false);
EXCEPTION WHEN duplicate_object THEN NULL; END $$;
DO $$ BEGIN
  CREATE DOMAIN velmora_jet.yesno AS smallint CHECK (VALUE IN (-1, 0));
EXCEPTION WHEN duplicate_object THEN NULL; END $$;
DO $$ BEGIN
  CREATE DOMAIN velmora_jet.byte AS smallint CHECK (VALUE BETWEEN 0 AND 255);
EXCEPTION WHEN duplicate_object THEN NULL; END $$;
)SQL";
}

// The functions of translated SQL.
const char* functionsSql() {
    return R"SQL(
-- Text as Jet compares it: in lower case (every letter's, whatever the text's collation) and
-- without trailing blanks.
CREATE OR REPLACE FUNCTION velmora_jet.jet_text(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN rtrim(lower($1 COLLATE velmora_jet.jet_nocase), ' ');
-- The key by which text sorts: as it compares, ordered by its letters' code points (the bytes
-- of UTF-8 are in that order), whatever the text's collation. Other values are their own key.
-- STABLE as convert_to() is: the server puts the body of a SQL function in place of its call
-- only when the function claims no more than its body, and a call per row costs three times
-- the body's work in a sort.
-- Text of ASCII letters only (as many bytes as letters in UTF-8) is folded byte by byte,
-- which gives what the collation's folding gives it at a fraction of the cost.
CREATE OR REPLACE FUNCTION velmora_jet.jet_sort(text) RETURNS bytea LANGUAGE sql STABLE PARALLEL SAFE RETURN convert_to(CASE WHEN octet_length($1) = char_length($1) AND getdatabaseencoding() = 'UTF8' THEN rtrim(lower($1 COLLATE "C"), ' ') ELSE velmora_jet.jet_text($1) END, 'UTF8');
CREATE OR REPLACE FUNCTION velmora_jet.jet_sort(smallint) RETURNS smallint LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sort(integer) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sort(bigint) RETURNS bigint LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sort(numeric) RETURNS numeric LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sort(real) RETURNS real LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sort(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sort(timestamp) RETURNS timestamp LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sort(boolean) RETURNS boolean LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_text(smallint) RETURNS smallint LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_text(integer) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_text(bigint) RETURNS bigint LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_text(numeric) RETURNS numeric LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_text(real) RETURNS real LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_text(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_text(timestamp) RETURNS timestamp LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_text(boolean) RETURNS boolean LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;

CREATE OR REPLACE FUNCTION velmora_jet.jet_date_text(timestamp) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN
  CASE WHEN $1 = date_trunc('day', $1) THEN to_char($1, 'YYYY-MM-DD') ELSE to_char($1, 'YYYY-MM-DD HH24:MI:SS') END;

-- Operators. "&" joins text, Null as empty text; Null only when every part is Null.
CREATE OR REPLACE FUNCTION velmora_jet.jet_cat(VARIADIC text[]) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN num_nonnulls(VARIADIC $1) = 0 THEN NULL ELSE array_to_string($1, '') END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_xor(bigint, bigint) RETURNS bigint LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1 # $2;
CREATE OR REPLACE FUNCTION velmora_jet.jet_eqv(bigint, bigint) RETURNS bigint LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN ~($1 # $2);
CREATE OR REPLACE FUNCTION velmora_jet.jet_imp(bigint, bigint) RETURNS bigint LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN (~$1) | $2;
-- Like: * any text, ? one character, # one digit, [a-z] / [!a-z] one of (not of) a set.
CREATE OR REPLACE FUNCTION velmora_jet.jet_like_pattern(p text) RETURNS text LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE r text COLLATE "C" := '^'; i int := 1; c text COLLATE "C"; n int := length(p); j int;
BEGIN
  WHILE i <= n LOOP
    c := substr(p, i, 1);
    IF c = '*' THEN r := r || '.*';
    ELSIF c = '?' THEN r := r || '.';
    ELSIF c = '#' THEN r := r || '[0-9]';
    ELSIF c = '[' THEN
      j := strpos(substr(p, i + 1), ']');
      IF j = 0 THEN r := r || '\['; ELSE
        r := r || '[' || CASE WHEN substr(p, i + 1, 1) = '!' THEN '^' || substr(p, i + 2, j - 2) ELSE substr(p, i + 1, j - 1) END || ']';
        i := i + j;
      END IF;
    ELSIF c ~ '[.^$+(){}|\\]' THEN r := r || '\' || c;
    ELSE r := r || c;
    END IF;
    i := i + 1;
  END LOOP;
  RETURN r || '$';
END $$;
-- Both sides in lower case, accented letters' too: under "C" the server matched only the
-- plain letters without regard to case.
CREATE OR REPLACE FUNCTION velmora_jet.jet_like(text, text) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN $1 IS NULL OR $2 IS NULL THEN NULL WHEN (lower($1 COLLATE velmora_jet.jet_nocase) COLLATE "C") ~* velmora_jet.jet_like_pattern(lower($2 COLLATE velmora_jet.jet_nocase) COLLATE "C") THEN -1 ELSE 0 END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_like(anyelement, text) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_like($1::text, $2) $$;

-- Text.
CREATE OR REPLACE FUNCTION velmora_jet.jet_ucase(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT upper($1) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_lcase(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT lower($1) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_trim(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT btrim($1, ' ') $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_ltrim(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT ltrim($1, ' ') $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_rtrim(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT rtrim($1, ' ') $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_len(text) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT length($1) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_len(anyelement) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT length($1::text) $$;
-- A length or position: a whole number (rounded) of at least `least`, an invalid argument
-- otherwise; lengths beyond any text are as long as the text.
CREATE OR REPLACE FUNCTION velmora_jet.jet_count(n double precision, least_ double precision, what text) RETURNS integer LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN round(n) < least_ THEN velmora_jet.jet_fail(5, what || ' with ' || n, NULL::integer)
    ELSE least(round(n), 2147483647)::integer END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_left(text, double precision) RETURNS text LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT left($1, velmora_jet.jet_count($2, 0, 'Left')) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_right(text, double precision) RETURNS text LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT right($1, velmora_jet.jet_count($2, 0, 'Right')) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_mid(text, double precision) RETURNS text LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT substr($1, velmora_jet.jet_count($2, 1, 'Mid')) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_mid(text, double precision, double precision) RETURNS text LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT substr($1, velmora_jet.jet_count($2, 1, 'Mid'), velmora_jet.jet_count($3, 0, 'Mid')) $$;
-- InStr finds text without regard to letter case, accented letters' too.
CREATE OR REPLACE FUNCTION velmora_jet.jet_instr(text, text) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT strpos((lower($1 COLLATE velmora_jet.jet_nocase) COLLATE "C"), (lower($2 COLLATE velmora_jet.jet_nocase) COLLATE "C")) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_instr(double precision, text, text) RETURNS integer LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN strpos((lower(substr($2 COLLATE velmora_jet.jet_nocase, velmora_jet.jet_count($1, 1, 'InStr'))) COLLATE "C"), (lower($3 COLLATE velmora_jet.jet_nocase) COLLATE "C")) = 0 THEN 0 ELSE strpos((lower(substr($2 COLLATE velmora_jet.jet_nocase, round($1)::int)) COLLATE "C"), (lower($3 COLLATE velmora_jet.jet_nocase) COLLATE "C")) + round($1)::int - 1 END $$;
-- A number as text the way Jet writes it: 15 significant digits (7 for a single), no
-- trailing zeros, an exponent ("1E+20", "1.5E-07") below 0.0001 or from that many digits
-- before the point on.
CREATE OR REPLACE FUNCTION velmora_jet.jet_num_text(double precision, integer) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN $1 = 0 THEN '0' WHEN $1 IN ('Infinity', '-Infinity', 'NaN') THEN $1::text ELSE (
    SELECT CASE WHEN e < -4 OR e >= $2
      THEN trim_scale(m)::text || 'E' || CASE WHEN e < 0 THEN '-' ELSE '+' END || CASE WHEN abs(e) < 10 THEN '0' ELSE '' END || abs(e)::text
      ELSE trim_scale(m * power(10::numeric, e))::text END
    FROM (SELECT split_part(t, 'e', 1)::numeric AS m, split_part(t, 'e', 2)::int AS e
          FROM (SELECT btrim(to_char($1, '9.' || repeat('9', $2 - 1) || 'EEEE')) AS t) s) p) END $$;
-- CStr, and each part of a chain of "&": money and other numbers as Jet writes them, whole
-- numbers beyond 15 digits in full, dates as they are stored, Yes/No as -1/0.
CREATE OR REPLACE FUNCTION velmora_jet.jet_cstr(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT $1 $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_cstr(double precision) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN velmora_jet.jet_num_text($1, 15);
CREATE OR REPLACE FUNCTION velmora_jet.jet_cstr(real) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN velmora_jet.jet_num_text($1, 7);
-- Whole numbers of 16 digits and more are doubles in Jet, written with 15 significant digits.
CREATE OR REPLACE FUNCTION velmora_jet.jet_cstr(bigint) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN
  CASE WHEN abs($1) >= 1000000000000000 THEN velmora_jet.jet_num_text($1::double precision, 15) ELSE $1::text END;
CREATE OR REPLACE FUNCTION velmora_jet.jet_cstr(boolean) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN CASE WHEN $1 THEN '-1' WHEN NOT $1 THEN '0' END;
CREATE OR REPLACE FUNCTION velmora_jet.jet_cstr(timestamp) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN velmora_jet.jet_date_text($1);
CREATE OR REPLACE FUNCTION velmora_jet.jet_str(double precision) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN CASE WHEN $1 >= 0 THEN ' ' ELSE '' END || velmora_jet.jet_num_text($1, 15);
CREATE OR REPLACE FUNCTION velmora_jet.jet_str(real) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN CASE WHEN $1 >= 0 THEN ' ' ELSE '' END || velmora_jet.jet_num_text($1, 7);

-- Numbers.
-- Val: the number at the start of the text, blanks ignored ("1 2" is 12), D as an
-- exponent, &H and &O for hexadecimal and octal 16-bit numbers; 0 when there is none, an
-- overflow beyond the range of numbers. Its text is read under "C": a column's collation
-- (which ignores letter case) lets the server search no text.
CREATE OR REPLACE FUNCTION velmora_jet.jet_val(t text) RETURNS double precision LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE s text COLLATE "C" := upper(replace(replace(replace(t COLLATE "C", ' ', ''), chr(9), ''), chr(10), '')); m text COLLATE "C"; v bigint;
BEGIN
  IF t IS NULL THEN RETURN NULL; END IF;
  IF s LIKE '&H%' OR s LIKE '&O%' THEN
    m := substring(s from 3);
    IF s LIKE '&H%' THEN m := substring(m from '^[0-9A-F]+'); ELSE m := substring(m from '^[0-7]+'); END IF;
    IF m IS NULL THEN RETURN 0; END IF;
    IF s LIKE '&H%' THEN
      EXECUTE 'SELECT x''' || lpad(m, 16, '0') || '''::bit(64)::bigint' INTO v;
    ELSE
      v := 0; FOR i IN 1..length(m) LOOP v := v * 8 + substr(m, i, 1)::int; END LOOP;
    END IF;
    IF v BETWEEN 32768 AND 65535 THEN v := v - 65536; END IF;
    RETURN v;
  END IF;
  m := substring(s from '^[+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[ED][+-]?[0-9]+)?');
  IF m IS NULL THEN RETURN 0; END IF;
  RETURN replace(m, 'D', 'E')::double precision;
EXCEPTION WHEN numeric_value_out_of_range OR invalid_text_representation THEN
  RETURN velmora_jet.jet_fail(6, 'Val("' || left(t, 40) || '")', NULL::double precision);
END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_val(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN coalesce($1, 0);
CREATE OR REPLACE FUNCTION velmora_jet.jet_cdbl(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_cdbl(text) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT btrim($1)::double precision $$;
-- CInt and CLng: an overflow beyond the range of a 16-bit or 32-bit whole number.
CREATE OR REPLACE FUNCTION velmora_jet.jet_cint(double precision) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN round($1) BETWEEN -32768 AND 32767 THEN round($1)::bigint
    WHEN $1 IS NOT NULL THEN velmora_jet.jet_fail(6, 'CInt(' || $1 || ')', NULL::bigint) END;
CREATE OR REPLACE FUNCTION velmora_jet.jet_cint(text) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_cint(velmora_jet.jet_val($1)) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_clng(double precision) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN round($1) BETWEEN -2147483648 AND 2147483647 THEN round($1)::bigint
    WHEN $1 IS NOT NULL THEN velmora_jet.jet_fail(6, 'CLng(' || $1 || ')', NULL::bigint) END;
CREATE OR REPLACE FUNCTION velmora_jet.jet_clng(text) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_clng(velmora_jet.jet_val($1)) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_abs(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN abs($1);
CREATE OR REPLACE FUNCTION velmora_jet.jet_int(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN floor($1);
CREATE OR REPLACE FUNCTION velmora_jet.jet_fix(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN trunc($1);
CREATE OR REPLACE FUNCTION velmora_jet.jet_sgn(double precision) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN sign($1)::integer;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sqr(double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN $1 < 0 THEN velmora_jet.jet_fail(5, 'Sqr(' || $1 || ')', NULL::double precision) ELSE sqrt($1) END;
-- Rounding of halves to the even neighbour, as Jet rounds.
CREATE OR REPLACE FUNCTION velmora_jet.jet_round(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN round($1);
-- Places below 0 are an invalid argument; a double holds no more than 15 that rounding could
-- change, and a number too large to have a fraction there stays as it is.
CREATE OR REPLACE FUNCTION velmora_jet.jet_round(double precision, double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN round($2) < 0 THEN velmora_jet.jet_fail(5, 'Round with ' || $2 || ' places', NULL::double precision)
    WHEN abs($1) >= 4503599627370496 / 10 ^ least(round($2), 15) THEN $1
    ELSE round($1 * 10 ^ least(round($2), 15)) / 10 ^ least(round($2), 15) END;
CREATE OR REPLACE FUNCTION velmora_jet.jet_isnull(anyelement) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN $1 IS NULL THEN -1 ELSE 0 END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_isnull(text) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN $1 IS NULL THEN -1 ELSE 0 END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_nz(anycompatible, anycompatible) RETURNS anycompatible LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce($1, $2) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_nz(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT coalesce($1, '') $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_nz(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN coalesce($1, 0);
CREATE OR REPLACE FUNCTION velmora_jet.jet_nz(timestamp) RETURNS timestamp LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;

-- Dates.
CREATE OR REPLACE FUNCTION velmora_jet.jet_now() RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE RETURN localtimestamp(0);
CREATE OR REPLACE FUNCTION velmora_jet.jet_date() RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE RETURN date_trunc('day', localtimestamp(0));
CREATE OR REPLACE FUNCTION velmora_jet.jet_cdate(timestamp) RETURNS timestamp LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_cdate(text) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT btrim($1)::timestamp $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_year(timestamp) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT extract(year FROM $1)::integer $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_month(timestamp) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT extract(month FROM $1)::integer $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_day(timestamp) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT extract(day FROM $1)::integer $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_year(text) RETURNS integer LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_year($1::timestamp) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_month(text) RETURNS integer LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_month($1::timestamp) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_day(text) RETURNS integer LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_day($1::timestamp) $$;
-- The mean length in days of one DateAdd unit (a Gregorian month is 30.436875 days on
-- average, and no run of months strays from that by more than a few days).
CREATE OR REPLACE FUNCTION velmora_jet.jet_unit_days(unit text) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE lower(unit)
    WHEN 'yyyy' THEN 365.2425 WHEN 'q' THEN 91.310625 WHEN 'm' THEN 30.436875
    WHEN 'ww' THEN 7 WHEN 'd' THEN 1 WHEN 'y' THEN 1 WHEN 'w' THEN 1
    WHEN 'h' THEN 1 / 24.0 WHEN 'n' THEN 1 / 1440.0 WHEN 's' THEN 1 / 86400.0
  END $$;
-- DateAdd's interval; Null for a span of more than 10,000 years, which leads out of the Jet
-- date range from any date in it, so that no count can overflow an integer or an interval.
-- Hours, minutes and seconds go through seconds.
CREATE OR REPLACE FUNCTION velmora_jet.jet_interval(unit text, n double precision) RETURNS interval LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN abs(round(n) * velmora_jet.jet_unit_days(unit)) <= 3700000 THEN
    CASE lower(unit)
      WHEN 'yyyy' THEN make_interval(years => round(n)::int)
      WHEN 'q' THEN make_interval(months => 3 * round(n)::int)
      WHEN 'm' THEN make_interval(months => round(n)::int)
      WHEN 'ww' THEN make_interval(weeks => round(n)::int)
      WHEN 'd' THEN make_interval(days => round(n)::int)
      WHEN 'y' THEN make_interval(days => round(n)::int)
      WHEN 'w' THEN make_interval(days => round(n)::int)
      WHEN 'h' THEN make_interval(secs => round(n) * 3600)
      WHEN 'n' THEN make_interval(secs => round(n) * 60)
      WHEN 's' THEN make_interval(secs => round(n))
    END
  END $$;
-- DateAdd, Null when the count does not fit a Long or the date falls outside the years 100
-- to 9999. The sum is first judged
-- roughly in days since 1970 (0100-01-01 is day -683003, 9999-12-31 day 2932896), with a
-- margin of 400 days: a date far out of range is Null without being worked out, so no count,
-- however large, can overflow the server's interval or timestamp. Written in SQL, without an
-- exception handler, so that the server inlines it into the query.
CREATE OR REPLACE FUNCTION velmora_jet.jet_dateadd(text, double precision, timestamp) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN $1 IS NOT NULL AND velmora_jet.jet_unit_days($1) IS NULL THEN velmora_jet.jet_fail(5, 'DateAdd with the interval "' || left($1, 20) || '"', NULL::timestamp)
    WHEN round($2) BETWEEN -2147483648 AND 2147483647
      AND date_part('epoch', $3) / 86400 + round($2) * velmora_jet.jet_unit_days($1) BETWEEN -683403 AND 2933296
    THEN CASE WHEN $3 + velmora_jet.jet_interval($1, $2) BETWEEN '0100-01-01' AND '9999-12-31 23:59:59' THEN $3 + velmora_jet.jet_interval($1, $2) END
  END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_dateadd(text, double precision, text) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT velmora_jet.jet_dateadd($1, $2, $3::timestamp) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_datediff(text, timestamp, timestamp) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN $1 IS NOT NULL AND velmora_jet.jet_unit_days($1) IS NULL THEN velmora_jet.jet_fail(5, 'DateDiff with the interval "' || left($1, 20) || '"', NULL::bigint) ELSE CASE lower($1)
    WHEN 'yyyy' THEN (extract(year FROM $3) - extract(year FROM $2))::bigint
    WHEN 'q' THEN ((extract(year FROM $3) * 4 + extract(quarter FROM $3)) - (extract(year FROM $2) * 4 + extract(quarter FROM $2)))::bigint
    WHEN 'm' THEN ((extract(year FROM $3) * 12 + extract(month FROM $3)) - (extract(year FROM $2) * 12 + extract(month FROM $2)))::bigint
    WHEN 'ww' THEN ((date_trunc('week', $3 + interval '1 day')::date - date_trunc('week', $2 + interval '1 day')::date) / 7)::bigint
    WHEN 'w' THEN (($3::date - $2::date) / 7)::bigint
    WHEN 'd' THEN ($3::date - $2::date)::bigint
    WHEN 'y' THEN ($3::date - $2::date)::bigint
    WHEN 'h' THEN ((extract(epoch FROM date_trunc('hour', $3)) - extract(epoch FROM date_trunc('hour', $2))) / 3600)::bigint
    WHEN 'n' THEN ((extract(epoch FROM date_trunc('minute', $3)) - extract(epoch FROM date_trunc('minute', $2))) / 60)::bigint
    WHEN 's' THEN (extract(epoch FROM $3) - extract(epoch FROM $2))::bigint
  END END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_datediff(text, text, text) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT velmora_jet.jet_datediff($1, $2::timestamp, $3::timestamp) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_datediff(text, timestamp, text) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT velmora_jet.jet_datediff($1, $2, $3::timestamp) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_datediff(text, text, timestamp) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT velmora_jet.jet_datediff($1, $2::timestamp, $3) $$;
-- DateSerial: years 0 to 29 are 2000 to 2029, 30 to 99 are 1930 to 1999; months and days
-- beyond their range carry over; Null for arguments beyond -32768 to 32767 or a date
-- outside the years 100 to 9999.
CREATE OR REPLACE FUNCTION velmora_jet.jet_dateserial(y double precision, m double precision, d double precision) RETURNS timestamp LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE yy int; r timestamp;
BEGIN
  IF y IS NULL OR m IS NULL OR d IS NULL THEN RETURN NULL; END IF;
  IF round(y) NOT BETWEEN -32768 AND 32767 OR round(m) NOT BETWEEN -32768 AND 32767 OR round(d) NOT BETWEEN -32768 AND 32767 THEN RETURN NULL; END IF;
  yy := round(y)::int;
  IF yy BETWEEN 0 AND 29 THEN yy := yy + 2000; ELSIF yy BETWEEN 30 AND 99 THEN yy := yy + 1900; END IF;
  r := make_timestamp(yy, 1, 1, 0, 0, 0) + make_interval(months => round(m)::int - 1) + make_interval(days => round(d)::int - 1);
  IF r NOT BETWEEN '0100-01-01' AND '9999-12-31 23:59:59' THEN RETURN NULL; END IF;
  RETURN r;
EXCEPTION WHEN datetime_field_overflow OR numeric_value_out_of_range THEN RETURN NULL;
END $$;

)SQL";
}

}  // namespace

const char* jetFunctionsSql() {
    static const std::string sql = std::string(schemaSql()) + jetFailSql() + functionsSql() +
                                   jetArithmeticSql() + jetFormatSql() + jetGroupFunctionsSql() +
                                   "COMMENT ON SCHEMA velmora_jet IS '" + kJetFunctionsRevision +
                                   "';\n";
    return sql.c_str();
}

}  // namespace velmora::data::pg
