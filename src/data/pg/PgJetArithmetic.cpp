// Jet's runtime errors and arithmetic as SQL functions of the engine's schema on the server.
// Functions that may raise an error are STABLE, not IMMUTABLE: the server works out an
// immutable call with constant arguments while it plans a statement, which would raise the
// error of a branch of IIf that no row takes.
#include "PgJetArithmetic.h"

namespace velmora::data::pg {

const char* jetFailSql() {
    return R"SQL(
CREATE OR REPLACE FUNCTION velmora_jet.jet_fail(code integer, detail text, result anyelement) RETURNS anyelement LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
  RAISE EXCEPTION USING
    ERRCODE = CASE code WHEN 5 THEN 'VJ005' WHEN 6 THEN 'VJ006' WHEN 11 THEN 'VJ011' ELSE '22P02' END,
    MESSAGE = CASE code WHEN 5 THEN 'Invalid procedure call or argument' WHEN 6 THEN 'Overflow'
      WHEN 11 THEN 'Division by zero' ELSE 'Data type mismatch' END,
    DETAIL = detail;
END $$;
)SQL";
}

const char* jetArithmeticSql() {
    return R"SQL(
-- A text in arithmetic: the number it reads as (blanks around it allowed), else a type mismatch.
CREATE OR REPLACE FUNCTION velmora_jet.jet_num(text) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN $1 IS NULL THEN NULL
    WHEN ($1 COLLATE "C") ~ '^\s*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?\s*$' THEN btrim($1 COLLATE "C", E' \t\r\n')::double precision
    ELSE velmora_jet.jet_fail(3464, '"' || left($1, 40) || '" is not a number', NULL::double precision) END $$;
-- A date moved by a number of days (fractions are hours, minutes and seconds), within the
-- years 100 to 9999.
CREATE OR REPLACE FUNCTION velmora_jet.jet_add_days(timestamp, double precision) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN $1 IS NULL OR $2 IS NULL THEN NULL
    WHEN abs($2) > 3700000 THEN velmora_jet.jet_fail(6, 'a date moved by ' || $2 || ' days', NULL::timestamp)
    ELSE CASE WHEN $1 + make_interval(secs => round($2 * 86400)) BETWEEN '0100-01-01' AND '9999-12-31 23:59:59'
      THEN $1 + make_interval(secs => round($2 * 86400))
      ELSE velmora_jet.jet_fail(6, 'a date moved by ' || $2 || ' days is beyond the year 9999 or before the year 100', NULL::timestamp) END END;

-- "+": numbers add (money exactly), two texts join, a text that reads as a number adds, a
-- date and a number of days give a date.
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(double precision, double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1 + $2;
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(numeric, numeric) RETURNS numeric LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1 + $2;
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(text, text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT $1 || $2 $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(text, double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_num($1) + $2 $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(double precision, text) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT $1 + velmora_jet.jet_num($2) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(timestamp, double precision) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE RETURN velmora_jet.jet_add_days($1, $2);
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(double precision, timestamp) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE RETURN velmora_jet.jet_add_days($2, $1);
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(timestamp, text) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_add_days($1, velmora_jet.jet_num($2)) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(text, timestamp) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_add_days($2, velmora_jet.jet_num($1)) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_add(timestamp, timestamp) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN $1 IS NULL OR $2 IS NULL THEN NULL ELSE velmora_jet.jet_fail(3464, 'a date + a date', NULL::timestamp) END;

-- "-": numbers and texts that read as numbers subtract; a date less days is a date, a date
-- less a date the days between them.
-- "*": whole numbers multiply as doubles, so that Long times Long beyond Long is a larger
-- number as in Jet (the server's integer "*" raised an overflow); money stays numeric.
CREATE OR REPLACE FUNCTION velmora_jet.jet_mul(double precision, double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE RETURN $1 * $2;
CREATE OR REPLACE FUNCTION velmora_jet.jet_mul(numeric, numeric) RETURNS numeric LANGUAGE sql STABLE PARALLEL SAFE RETURN $1 * $2;
CREATE OR REPLACE FUNCTION velmora_jet.jet_mul(text, text) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_num($1) * velmora_jet.jet_num($2) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_mul(text, double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_num($1) * $2 $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_mul(double precision, text) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT $1 * velmora_jet.jet_num($2) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sub(double precision, double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1 - $2;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sub(numeric, numeric) RETURNS numeric LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1 - $2;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sub(text, text) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_num($1) - velmora_jet.jet_num($2) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sub(text, double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_num($1) - $2 $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sub(double precision, text) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT $1 - velmora_jet.jet_num($2) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sub(timestamp, double precision) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE RETURN velmora_jet.jet_add_days($1, -$2);
CREATE OR REPLACE FUNCTION velmora_jet.jet_sub(timestamp, text) RETURNS timestamp LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_add_days($1, -velmora_jet.jet_num($2)) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sub(timestamp, timestamp) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT extract(epoch FROM $1 - $2)::double precision / 86400 $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_sub(double precision, timestamp) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN $1 IS NULL OR $2 IS NULL THEN NULL ELSE velmora_jet.jet_fail(3464, 'a number - a date', NULL::double precision) END;

-- "/": always with fractions; a division by zero is an error (0 / 0 an overflow, as in Jet).
CREATE OR REPLACE FUNCTION velmora_jet.jet_div(double precision, double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN $2 = 0 THEN CASE WHEN $1 = 0 THEN velmora_jet.jet_fail(6, '0 / 0', NULL::double precision)
    WHEN $1 IS NOT NULL THEN velmora_jet.jet_fail(11, $1 || ' / 0', NULL::double precision) END
    ELSE $1 / $2 END;
CREATE OR REPLACE FUNCTION velmora_jet.jet_div(text, double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_div(velmora_jet.jet_num($1), $2) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_div(double precision, text) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_div($1, velmora_jet.jet_num($2)) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_div(text, text) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_div(velmora_jet.jet_num($1), velmora_jet.jet_num($2)) $$;

-- "\" and Mod: both sides rounded to whole numbers (halves to even); a zero divisor is a
-- division by zero, a side beyond Long numbers (as Jet takes them) an overflow.
CREATE OR REPLACE FUNCTION velmora_jet.jet_whole(double precision, what text) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN round($1) BETWEEN -2147483648 AND 2147483647 THEN round($1)::bigint
    WHEN $1 IS NOT NULL THEN velmora_jet.jet_fail(6, what || ' needs whole numbers from -2147483648 to 2147483647', NULL::bigint) END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_idiv(double precision, double precision) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN $1 IS NULL OR $2 IS NULL THEN NULL
    WHEN round($2) = 0 THEN velmora_jet.jet_fail(11, $1 || ' \ 0', NULL::bigint)
    WHEN round($1) = -2147483648 AND round($2) = -1 THEN velmora_jet.jet_fail(6, $1 || ' \ -1', NULL::bigint)
    ELSE velmora_jet.jet_whole($1, $1 || ' \ ' || $2) / velmora_jet.jet_whole($2, $1 || ' \ ' || $2) END;
CREATE OR REPLACE FUNCTION velmora_jet.jet_mod(double precision, double precision) RETURNS bigint LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN $1 IS NULL OR $2 IS NULL THEN NULL
    WHEN round($2) = 0 THEN velmora_jet.jet_fail(11, $1 || ' Mod 0', NULL::bigint)
    ELSE velmora_jet.jet_whole($1, $1 || ' Mod ' || $2) % velmora_jet.jet_whole($2, $1 || ' Mod ' || $2) END;
-- "^": no real result (a negative number to a fractional power, 0 to a negative one) is an
-- invalid argument; the server's own power() raises an overflow.
CREATE OR REPLACE FUNCTION velmora_jet.jet_pow(double precision, double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN ($1 = 0 AND $2 < 0) OR ($1 < 0 AND trunc($2) <> $2) THEN velmora_jet.jet_fail(5, $1 || ' ^ ' || $2, NULL::double precision)
    ELSE power($1, $2) END;
)SQL";
}

}  // namespace velmora::data::pg
