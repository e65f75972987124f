#include "PgJetGroupFunctions.h"

namespace velmora::data::pg {

const char* jetGroupFunctionsSql() {
    return R"SQL(
-- CCur: four decimals, a half of the fifth rounded to the even neighbour (round() of a double
-- does so), within Currency's range of ten-thousandths in 64 bits.
CREATE OR REPLACE FUNCTION velmora_jet.jet_ccur(double precision) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE RETURN
  CASE WHEN abs($1) <= 922337203685477.5807 THEN round($1 * 10000) / 10000
    WHEN $1 IS NOT NULL THEN velmora_jet.jet_fail(6, 'CCur(' || $1 || ')', NULL::double precision) END;
CREATE OR REPLACE FUNCTION velmora_jet.jet_ccur(text) RETURNS double precision LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_ccur(velmora_jet.jet_num($1)) $$;
-- First and Last keep the value in a one-element array, so that a Null of the first row is
-- told from no row yet.
CREATE OR REPLACE FUNCTION velmora_jet.jet_first_step(anyarray, anyelement) RETURNS anyarray LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT CASE WHEN $1 IS NULL THEN ARRAY[$2] ELSE $1 END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_last_step(anyarray, anyelement) RETURNS anyarray LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT ARRAY[$2] $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_kept_value(anyarray) RETURNS anyelement LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT $1[1] $$;
CREATE OR REPLACE AGGREGATE velmora_jet.jet_first(anyelement) (SFUNC = velmora_jet.jet_first_step, STYPE = anyarray, FINALFUNC = velmora_jet.jet_kept_value);
CREATE OR REPLACE AGGREGATE velmora_jet.jet_last(anyelement) (SFUNC = velmora_jet.jet_last_step, STYPE = anyarray, FINALFUNC = velmora_jet.jet_kept_value);
-- The spelling a group of texts alike (letter case and trailing blanks aside) shows: the least
-- by its letters' code points (the bytes of UTF-8 are in that order), as on the files. Any
-- other value is the same in every row of its group: the first is shown.
CREATE OR REPLACE FUNCTION velmora_jet.jet_spelling_step(text, text) RETURNS text LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT CASE WHEN $2 COLLATE "C" < $1 COLLATE "C" THEN $2 ELSE $1 END $$;
CREATE OR REPLACE AGGREGATE velmora_jet.jet_spelling(text) (SFUNC = velmora_jet.jet_spelling_step, STYPE = text, COMBINEFUNC = velmora_jet.jet_spelling_step, PARALLEL = SAFE);
CREATE OR REPLACE FUNCTION velmora_jet.jet_spelling_step(anyelement, anyelement) RETURNS anyelement LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT $1 $$;
CREATE OR REPLACE AGGREGATE velmora_jet.jet_spelling(anyelement) (SFUNC = velmora_jet.jet_spelling_step, STYPE = anyelement);
-- The term a text column groups by: without trailing blanks, under the column's collation,
-- which leaves letter case aside (faster than grouping by jet_text). Other values as they are.
CREATE OR REPLACE FUNCTION velmora_jet.jet_group(text) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT rtrim($1, ' ') $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_group(smallint) RETURNS smallint LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_group(integer) RETURNS integer LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_group(bigint) RETURNS bigint LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_group(numeric) RETURNS numeric LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_group(real) RETURNS real LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_group(double precision) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_group(timestamp) RETURNS timestamp LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
CREATE OR REPLACE FUNCTION velmora_jet.jet_group(boolean) RETURNS boolean LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN $1;
)SQL";
}

}  // namespace velmora::data::pg
