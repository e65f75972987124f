// Format as SQL functions of the engine's schema on the server, step by step as the engine's
// own Format works on the files: one function per step (sections, a section of a number
// picture, a date picture, the named formats) and jet_format_value choosing among them.
#include "PgJetFormat.h"

namespace velmora::data::pg {

const char* jetFormatSql() {
    return R"SQL(
-- A picture's sections, split at ";" outside quotes and after no backslash.
CREATE OR REPLACE FUNCTION velmora_jet.jet_format_sections(p text) RETURNS text[] LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE res text[] := '{}'; cur text := ''; quoted boolean := false; i int := 1; n int := length(p); c text;
BEGIN
  WHILE i <= n LOOP
    c := substr(p, i, 1);
    IF c = '"' THEN quoted := NOT quoted;
    ELSIF c = '\' AND NOT quoted AND i < n THEN cur := cur || c || substr(p, i + 1, 1); i := i + 2; CONTINUE;
    ELSIF c = ';' AND NOT quoted THEN res := res || cur; cur := ''; i := i + 1; CONTINUE;
    END IF;
    cur := cur || c; i := i + 1;
  END LOOP;
  RETURN res || cur;
END $$;

-- One section of a number picture written for a number's magnitude: "0" a digit always
-- written, "#" one written when significant, "." the decimal point, "," (after a digit)
-- grouping by thousands, "%" a percentage, anything else as it stands. The number is taken
-- to 15 significant digits (double precision to numeric) and rounded half away from zero.
CREATE OR REPLACE FUNCTION velmora_jet.jet_format_section(a double precision, s text, OUT t text, OUT has_digits boolean) LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE kinds text[] := '{}'; texts text[] := '{}'; i int := 1; n int := length(s); c text; k int;
  int_zeros int := 0; dec_zeros int := 0; dec_all int := 0; after_point boolean := false;
  grouping boolean := false; pct boolean := false; seen_digit boolean := false; first_num int := 0;
  prefix text := ''; suffix text := ''; fixed text; ip text; fp text; num text;
BEGIN
  WHILE i <= n LOOP
    c := substr(s, i, 1);
    IF c = '\' THEN
      IF i < n THEN kinds := kinds || 'L'::text; texts := texts || substr(s, i + 1, 1); END IF;
      i := i + 2; CONTINUE;
    ELSIF c = '"' THEN
      k := strpos(substr(s, i + 1), '"');
      IF k = 0 THEN k := n - i + 1; END IF;
      kinds := kinds || 'L'::text; texts := texts || substr(s, i + 1, k - 1);
      i := i + k + 1; CONTINUE;
    ELSIF c IN ('0', '#') THEN kinds := kinds || 'D'::text; texts := texts || c;
    ELSIF c = '.' THEN kinds := kinds || 'P'::text; texts := texts || ''::text;
    ELSIF c = ',' THEN kinds := kinds || 'C'::text; texts := texts || ''::text;
    ELSIF c = '%' THEN kinds := kinds || '%'::text; texts := texts || '%'::text;
    ELSE kinds := kinds || 'L'::text; texts := texts || c;
    END IF;
    i := i + 1;
  END LOOP;
  FOR j IN 1 .. coalesce(array_length(kinds, 1), 0) LOOP
    IF kinds[j] = 'D' THEN
      seen_digit := true;
      IF after_point THEN
        dec_all := dec_all + 1;
        IF texts[j] = '0' THEN dec_zeros := dec_all; END IF;
      ELSIF texts[j] = '0' THEN int_zeros := int_zeros + 1;
      END IF;
      IF first_num = 0 THEN first_num := j; END IF;
    ELSIF kinds[j] = 'P' THEN
      after_point := true;
      IF first_num = 0 THEN first_num := j; END IF;
    ELSIF kinds[j] = 'C' THEN
      IF seen_digit AND NOT after_point THEN grouping := true; END IF;
    ELSIF kinds[j] = '%' THEN pct := true;
    END IF;
  END LOOP;
  has_digits := first_num > 0;
  FOR j IN 1 .. coalesce(array_length(kinds, 1), 0) LOOP
    IF kinds[j] IN ('L', '%') THEN
      IF first_num > 0 AND j > first_num THEN suffix := suffix || texts[j]; ELSE prefix := prefix || texts[j]; END IF;
    END IF;
  END LOOP;
  IF NOT has_digits THEN t := prefix; RETURN; END IF;
  IF pct THEN a := a * 100; END IF;
  fixed := round(a::numeric, dec_all)::text;
  ip := split_part(fixed, '.', 1);
  fp := CASE WHEN dec_all > 0 THEN split_part(fixed, '.', 2) ELSE '' END;
  WHILE length(fp) > dec_zeros AND right(fp, 1) = '0' LOOP fp := left(fp, -1); END LOOP;
  IF ip = '0' AND int_zeros = 0 THEN ip := ''; END IF;
  IF length(ip) < int_zeros THEN ip := lpad(ip, int_zeros, '0'); END IF;
  IF grouping THEN ip := regexp_replace(ip, '(\d)(?=(\d{3})+$)', '\1,', 'g'); END IF;
  num := ip;
  IF fp <> '' OR (after_point AND dec_zeros > 0) THEN num := num || '.' || fp; END IF;
  t := prefix || num || suffix;
END $$;

-- A number picture of up to four sections: positive; negative; zero; (Null). An empty or
-- missing section uses the first, a negative number then with a leading "-".
CREATE OR REPLACE FUNCTION velmora_jet.jet_format_number(v double precision, p text) RETURNS text LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE secs text[] := velmora_jet.jet_format_sections(p); r record;
BEGIN
  IF v < 0 AND array_length(secs, 1) >= 2 AND secs[2] <> '' THEN
    r := velmora_jet.jet_format_section(-v, secs[2]); RETURN r.t;
  END IF;
  IF v = 0 AND array_length(secs, 1) >= 3 AND secs[3] <> '' THEN
    r := velmora_jet.jet_format_section(0, secs[3]); RETURN r.t;
  END IF;
  r := velmora_jet.jet_format_section(abs(v), secs[1]);
  IF v < 0 AND r.has_digits THEN RETURN '-' || r.t; END IF;
  RETURN r.t;
END $$;

-- "Scientific": three significant digits and a signed exponent of at least two digits.
CREATE OR REPLACE FUNCTION velmora_jet.jet_format_scientific(v double precision) RETURNS text LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE t text; m text; e int;
BEGIN
  IF v = 0 THEN RETURN '0.00E+00'; END IF;
  t := upper(btrim(to_char(abs(v)::numeric, '9.99EEEE')));
  m := split_part(t, 'E', 1); e := split_part(t, 'E', 2)::int;
  -- The server writes a mantissa rounded up to ten as it stands (9.996 is 10.00e+00).
  IF m = '10.00' THEN m := '1.00'; e := e + 1; END IF;
  RETURN CASE WHEN v < 0 THEN '-' ELSE '' END || m || 'E' || CASE WHEN e < 0 THEN '-' ELSE '+' END
    || lpad(abs(e)::text, 2, '0');
END $$;

-- Whether a picture addresses parts of a date: a date letter comes before any "0" or "#".
CREATE OR REPLACE FUNCTION velmora_jet.jet_is_date_picture(p text) RETURNS boolean LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE quoted boolean := false; i int := 1; c text;
BEGIN
  WHILE i <= length(p) LOOP
    c := lower(substr(p, i, 1));
    IF c = '"' THEN quoted := NOT quoted;
    ELSIF quoted THEN NULL;
    ELSIF c = '\' THEN i := i + 1;
    ELSIF c IN ('0', '#') THEN RETURN false;
    ELSIF c IN ('d', 'm', 'y', 'h', 'n', 's', 'q', 'w') THEN RETURN true;
    END IF;
    i := i + 1;
  END LOOP;
  RETURN false;
END $$;

-- A date picture: runs of y (day of year, yy, yyyy), m, d, h, n, s; q the quarter, w the
-- weekday (Sunday 1), ww the week (the one holding 1 January is the first); AM/PM and A/P.
CREATE OR REPLACE FUNCTION velmora_jet.jet_format_date(v timestamp, p text) RETURNS text LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE r text := ''; i int := 1; n int := length(p); c text; lc text; len int; k int; twelve boolean;
BEGIN
  twelve := p ILIKE '%AM/PM%' OR p ILIKE '%A/P%';
  WHILE i <= n LOOP
    c := substr(p, i, 1); lc := lower(c);
    IF c = '\' AND i < n THEN r := r || substr(p, i + 1, 1); i := i + 2; CONTINUE; END IF;
    IF c = '"' THEN
      k := strpos(substr(p, i + 1), '"');
      IF k = 0 THEN k := n - i + 1; END IF;
      r := r || substr(p, i + 1, k - 1); i := i + k + 1; CONTINUE;
    END IF;
    IF upper(substr(p, i, 5)) = 'AM/PM' THEN
      r := r || CASE WHEN c = 'A' OR c = 'P' THEN CASE WHEN extract(hour FROM v) < 12 THEN 'AM' ELSE 'PM' END
                     ELSE CASE WHEN extract(hour FROM v) < 12 THEN 'am' ELSE 'pm' END END;
      i := i + 5; CONTINUE;
    END IF;
    IF upper(substr(p, i, 3)) = 'A/P' THEN
      r := r || CASE WHEN c = 'A' OR c = 'P' THEN CASE WHEN extract(hour FROM v) < 12 THEN 'A' ELSE 'P' END
                     ELSE CASE WHEN extract(hour FROM v) < 12 THEN 'a' ELSE 'p' END END;
      i := i + 3; CONTINUE;
    END IF;
    len := 1;
    WHILE i + len <= n AND lower(substr(p, i + len, 1)) = lc LOOP len := len + 1; END LOOP;
    IF lc = 'y' THEN
      r := r || CASE WHEN len >= 3 THEN to_char(v, 'FMYYYY') WHEN len = 2 THEN to_char(v, 'YY') ELSE to_char(v, 'FMDDD') END;
    ELSIF lc = 'm' THEN
      r := r || CASE WHEN len >= 4 THEN to_char(v, 'FMMonth') WHEN len = 3 THEN to_char(v, 'Mon') WHEN len = 2 THEN to_char(v, 'MM') ELSE to_char(v, 'FMMM') END;
    ELSIF lc = 'd' THEN
      r := r || CASE WHEN len >= 4 THEN to_char(v, 'FMDay') WHEN len = 3 THEN to_char(v, 'Dy') WHEN len = 2 THEN to_char(v, 'DD') ELSE to_char(v, 'FMDD') END;
    ELSIF lc = 'h' THEN
      r := r || CASE WHEN twelve THEN CASE WHEN len >= 2 THEN to_char(v, 'HH12') ELSE to_char(v, 'FMHH12') END
                     ELSE CASE WHEN len >= 2 THEN to_char(v, 'HH24') ELSE to_char(v, 'FMHH24') END END;
    ELSIF lc = 'n' THEN
      r := r || CASE WHEN len >= 2 THEN to_char(v, 'MI') ELSE to_char(v, 'FMMI') END;
    ELSIF lc = 's' THEN
      r := r || CASE WHEN len >= 2 THEN to_char(v, 'SS') ELSE to_char(v, 'FMSS') END;
    ELSIF lc = 'q' THEN
      r := r || to_char(v, 'Q'); len := 1;
    ELSIF lc = 'w' THEN
      IF len >= 2 THEN
        r := r || ((extract(doy FROM v)::int - 1 + to_char(date_trunc('year', v), 'D')::int - 1) / 7 + 1)::text;
        len := 2;
      ELSE
        r := r || to_char(v, 'D');
      END IF;
    ELSE
      r := r || c; len := 1;
    END IF;
    i := i + len;
  END LOOP;
  RETURN r;
END $$;

-- The program's date display as a date picture, as the session set it.
CREATE OR REPLACE FUNCTION velmora_jet.jet_display_picture() RETURNS text LANGUAGE sql STABLE PARALLEL SAFE RETURN
  coalesce(nullif(current_setting('velmora.date_display', true), ''), 'd mmm yyyy');

-- The named formats of dates and times (a lower-case fname); Null for any other fname.
CREATE OR REPLACE FUNCTION velmora_jet.jet_named_date_picture(fname text, v timestamp) RETURNS text LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT CASE fname
    WHEN 'short date' THEN velmora_jet.jet_display_picture()
    WHEN 'general date' THEN CASE WHEN v::time = time '00:00' THEN velmora_jet.jet_display_picture()
      WHEN v::date = date '1899-12-30' THEN 'h:nn:ss AM/PM'
      ELSE velmora_jet.jet_display_picture() || ' h:nn:ss AM/PM' END
    WHEN 'long date' THEN 'dddd, mmmm d, yyyy' WHEN 'medium date' THEN 'dd-mmm-yy'
    WHEN 'long time' THEN 'h:nn:ss AM/PM' WHEN 'medium time' THEN 'hh:nn AM/PM'
    WHEN 'short time' THEN 'hh:nn' END $$;

-- The named formats of numbers but General Number and Scientific; Null for any other fname.
CREATE OR REPLACE FUNCTION velmora_jet.jet_named_number_picture(fname text, v double precision) RETURNS text LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE fname
    WHEN 'currency' THEN '$#,##0.00;($#,##0.00)'
    WHEN 'euro' THEN U&'\20AC#,##0.00;(\20AC#,##0.00)'
    WHEN 'fixed' THEN '0.00' WHEN 'standard' THEN '#,##0.00' WHEN 'percent' THEN '0.00%'
    WHEN 'yes/no' THEN CASE WHEN v <> 0 THEN '"Yes"' ELSE '"No"' END
    WHEN 'true/false' THEN CASE WHEN v <> 0 THEN '"True"' ELSE '"False"' END
    WHEN 'on/off' THEN CASE WHEN v <> 0 THEN '"On"' ELSE '"Off"' END END $$;

-- A serial number's date: days since 30 December 1899, the fraction's magnitude the time.
CREATE OR REPLACE FUNCTION velmora_jet.jet_date_of_serial(x double precision) RETURNS timestamp LANGUAGE sql IMMUTABLE PARALLEL SAFE RETURN
  CASE WHEN x >= -657434 AND x < 2958466 THEN timestamp '1899-12-30'
    + make_interval(days => trunc(x)::int)
    + make_interval(secs => round((abs(x - trunc(x)) * 86400)::numeric)::double precision) END;

CREATE OR REPLACE FUNCTION velmora_jet.jet_serial_of_date(d timestamp) RETURNS double precision LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
  SELECT CASE WHEN d::date < date '1899-12-30'
    THEN (d::date - date '1899-12-30') - extract(epoch FROM d::time)::double precision / 86400
    ELSE (d::date - date '1899-12-30') + extract(epoch FROM d::time)::double precision / 86400 END $$;

-- Format of a value given as a date (d), a number (x) or text only, s its text.
CREATE OR REPLACE FUNCTION velmora_jet.jet_format_value(d timestamp, x double precision, s text, f text) RETURNS text LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
DECLARE fname text := lower(btrim(coalesce(f, ''))); is_number boolean := x IS NOT NULL;
  as_date timestamp := d; pic text;
BEGIN
  IF s IS NULL THEN RETURN NULL; END IF;
  IF f = '>' THEN RETURN upper(s); END IF;
  IF f = '<' THEN RETURN lower(s); END IF;
  IF fname = '' OR fname = 'general number' THEN
    RETURN CASE WHEN is_number THEN velmora_jet.jet_cstr(x) ELSE s END;
  END IF;
  IF as_date IS NULL AND is_number THEN as_date := velmora_jet.jet_date_of_serial(x); END IF;
  IF as_date IS NOT NULL THEN
    pic := velmora_jet.jet_named_date_picture(fname, as_date);
    IF pic IS NOT NULL THEN RETURN velmora_jet.jet_format_date(as_date, pic); END IF;
  END IF;
  IF d IS NOT NULL AND NOT is_number THEN
    x := velmora_jet.jet_serial_of_date(d);
    is_number := velmora_jet.jet_named_number_picture(fname, 0) IS NOT NULL OR fname = 'scientific';
  END IF;
  IF is_number THEN
    IF fname = 'scientific' THEN RETURN velmora_jet.jet_format_scientific(x); END IF;
    pic := velmora_jet.jet_named_number_picture(fname, x);
    IF pic IS NOT NULL THEN RETURN velmora_jet.jet_format_number(x, pic); END IF;
  END IF;
  IF velmora_jet.jet_is_date_picture(f) THEN
    RETURN CASE WHEN as_date IS NOT NULL THEN velmora_jet.jet_format_date(as_date, f) ELSE s END;
  END IF;
  IF is_number THEN RETURN velmora_jet.jet_format_number(x, f); END IF;
  RETURN s;
END $$;

CREATE OR REPLACE FUNCTION velmora_jet.jet_format(v timestamp, f text) RETURNS text LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
BEGIN
  IF v IS NULL THEN RETURN NULL; END IF;
  -- The pictures of the reports' date columns, straight from the server's own formatting.
  IF lower(f) = 'mm/dd/yy' THEN RETURN to_char(v, 'MM/DD/YY'); END IF;
  IF lower(f) = 'mm/dd/yyyy' AND v >= '1000-01-01' THEN RETURN to_char(v, 'MM/DD/YYYY'); END IF;
  RETURN velmora_jet.jet_format_value(v, NULL, velmora_jet.jet_date_text(v), f);
END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_format(v double precision, f text) RETURNS text LANGUAGE sql STABLE PARALLEL SAFE AS $$
  SELECT velmora_jet.jet_format_value(NULL, v, velmora_jet.jet_cstr(v), f) $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_format(v text, f text) RETURNS text LANGUAGE plpgsql STABLE PARALLEL SAFE AS $$
-- A column's text comes with its collation, under which the server searches no text: the
-- text is read under "C".
DECLARE s text COLLATE "C" := v COLLATE "C"; p text COLLATE "C" := f COLLATE "C";
BEGIN
  IF s IS NULL THEN RETURN NULL; END IF;
  -- The letter case changes under the text's own collation, which knows accented letters.
  IF p = '>' THEN RETURN velmora_jet.jet_ucase(v); END IF;
  IF p = '<' THEN RETURN velmora_jet.jet_lcase(v); END IF;
  IF btrim(s) ~ '^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$' THEN RETURN velmora_jet.jet_format_value(NULL, btrim(s)::double precision, s, p); END IF;
  IF btrim(s) ~ '^\d{4}-\d{2}-\d{2}' THEN RETURN velmora_jet.jet_format_value(btrim(s)::timestamp, NULL, s, p); END IF;
  RETURN velmora_jet.jet_format_value(NULL, NULL, s, p);
END $$;
CREATE OR REPLACE FUNCTION velmora_jet.jet_format(timestamp) RETURNS text LANGUAGE sql STABLE PARALLEL SAFE RETURN velmora_jet.jet_format($1, NULL::text);
CREATE OR REPLACE FUNCTION velmora_jet.jet_format(double precision) RETURNS text LANGUAGE sql STABLE PARALLEL SAFE RETURN velmora_jet.jet_format($1, NULL::text);
CREATE OR REPLACE FUNCTION velmora_jet.jet_format(text) RETURNS text LANGUAGE sql STABLE PARALLEL SAFE AS $$ SELECT velmora_jet.jet_format($1, NULL::text) $$;
)SQL";
}

}  // namespace velmora::data::pg
