#!/usr/bin/env python3
"""Check the device database the way the configurator reads it.

    python3 db/check_devices.py [devices.db]     check a built file (default: build
                                                 db/devices.sql into a temporary file)
    python3 db/check_devices.py --self-test      also break copies of the database on
                                                 purpose and make sure each fault is caught

The configurator reads every table through a table model in rowid order, addresses the
columns by position and finds rows by prefix or substring matches. The checks below replay
those lookups (firmware group selection, form elements, pages, command lists, ids) and
compare their results with what each row is meant to say, so a row that shadows another
one, a misspelt widget name or a firmware group that lost a widget fails here instead of
on a customer's device. Exit status 0 when everything holds, 1 otherwise.
"""

import functools
import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SQL_FILE = os.path.join(HERE, "devices.sql")

# Firmware versions the device simulator starts with, per device key, and the group each must
# select. Tests and the demo rely on these.
SIMULATOR_VERSIONS = {
    "701": ("1.2.3", "fw701_1"),
    "750": ("1.3.1", "fw750_1"),
    "760": ("1.4.2", "fw760_2"),
    "760_2": ("2.0.1", "fw760r2_1"),
}

# Device keys the firmware store must be able to turn into identifiers.
REQUIRED_IDS = ["701", "750", "760", "760_1", "760_2", "760_3", "760_4", "760_5", "760_63"]

# Inputs each model has (the timing recomputation relies on the same numbers).
INPUTS_PER_MODEL = {701: 0, 750: 6, 760: 2}

PAGES = {"ioPage", "interfacesPage", "vexa701Page", "systemPage"}
STATUS_CODES = set(range(9))
MAX_ROWS = 255  # one fetch of a table model; rows past it are not seen by a match


def _catalogue():
    codes = set(range(0x0000, 0x0015)) | set(range(0x0020, 0x0030)) | {0x0031}
    codes |= set(range(0x0100, 0x0106))
    for base in (0x0110, 0x0120, 0x0130, 0x0190, 0x01A0):
        codes |= set(range(base, base + 6))
    codes |= set(range(0x0140, 0x0145)) | set(range(0x0150, 0x0156))
    codes |= {0x0160, 0x0161, 0x0180, 0x0181, 0x0203}
    return codes


CATALOGUE = _catalogue()

# Combo boxes whose items the main window appends as (text, integer data).
DATA_COMBOS = (["txSpeedComboBox", "txPowerComboBox", "regionComboBox", "devClassComboBox"]
               + [f"inType{i}comboBox" for i in range(6)]
               + [f"inMode{i}comboBox" for i in range(6)]
               + ["protocolComboBox", "rsSpeedComboBox", "rsParityComboBox",
                  "ctsRtsModeComboBox", "rsAnswerModeComboBox", "meteringDevComboBox",
                  "timePointComboBox", "removeConfirmNetComboBox", "rsSourseComboBox",
                  "rsToUsbSpeedComboBox", "pulseCounModeComboBox"])
FLAG_ELEMENTS = ["rsToUsbGroupBox", "enPower20dbmCheckBox", "pointFixCountGroupBox",
                 "countDiff1LineEdit", "timeSource_lbl", "txConfirmCheckBox"]
CODE_TABLES = ["PowerSource", "BatStatus", "BatErrors", "inErrorsParams"]
DEBUG_COMBOS = ["sourceDbgComboBox", "levelDbgcomboBox"]
ALL_ELEMENTS = DATA_COMBOS + FLAG_ELEMENTS + CODE_TABLES + DEBUG_COMBOS

# Widget that must exist exactly when a parameter is supported.
PARAM_WIDGETS = {0x000B: ["txSpeedComboBox"], 0x000C: ["txPowerComboBox"],
                 0x000E: ["regionComboBox"], 0x000F: ["devClassComboBox"],
                 0x0102: ["protocolComboBox"],
                 0x0150: ["rsSpeedComboBox", "rsParityComboBox"],
                 0x0151: ["ctsRtsModeComboBox"], 0x0154: ["rsAnswerModeComboBox"],
                 0x0155: ["meteringDevComboBox"], 0x0180: ["removeConfirmNetComboBox"],
                 0x0181: ["timePointComboBox"]}
for _i in range(6):
    PARAM_WIDGETS[0x0110 + _i] = [f"inType{_i}comboBox"]
    PARAM_WIDGETS[0x0120 + _i] = [f"inMode{_i}comboBox"]


# ------------------------------------------------------------------ the program's rules

def natural_compare(a, b):
    """Digit runs compare by value, other characters by code (firmware versions)."""
    n = min(len(a), len(b))
    i = 0
    while i < n:
        ca, cb = a[i], b[i]
        da, db = ca in "0123456789", cb in "0123456789"
        if da and db:
            ja = i
            while ja < len(a) and a[ja] in "0123456789":
                ja += 1
            jb = i
            while jb < len(b) and b[jb] in "0123456789":
                jb += 1
            na, nb = int(a[i:ja]), int(b[i:jb])
            if na != nb:
                return na - nb
            i = min(ja, jb)
            continue
        if da:
            return -1
        if db:
            return 1
        if ca != cb:
            return -1 if ca < cb else 1
        i += 1
    if i < len(b):
        return -1
    if i < len(a):
        return 1
    return 0


def version_parts(text):
    parts = [p for p in text.split("-") if p]
    first = parts[0] if parts else ""
    second = parts[1] if len(parts) > 1 else ""
    return first, second


def select_fw_group(rows, cur):
    """Firmware group of version `cur` from the rows (fw_ver, fw_group) of a model table."""
    known = []
    search = None
    for ver, _group in rows:
        first, second = version_parts(ver or "")
        known += [first, second]
        if cur == first or cur == second:
            search = ver
        elif natural_compare(first, cur) < 0 and natural_compare(cur, second) < 0:
            search = ver
    if search is None:
        known.sort(key=functools.cmp_to_key(natural_compare))
        if not known or natural_compare(known[-1], cur) >= 0:
            return ""
        search = known[-1]
    for ver, group in rows:
        if ver is not None and search in ver:
            return group or ""
    return ""


def starts_with_ci(value, prefix):
    return value is not None and str(value).lower().startswith(prefix.lower())


def form_elements(rows, name):
    """Items of the form element `name`: first row whose column 2 starts with the name."""
    for row in rows:
        if starts_with_ci(row[2], name):
            parts = [p for p in row[2].split(";") if p]
            if parts and parts[0] == name and len(parts) > 1:
                return [p for p in parts[1].split(",") if p]
            return []
    return []


def fixed_match(rows, col, value):
    """First row whose column equals `value` as text, case ignored (one hit)."""
    for row in rows:
        if row[col] is not None and str(row[col]).lower() == str(value).lower():
            return row
    return None


def id_by_name(rows, name):
    for row in rows:
        if starts_with_ci(row[0], name):
            return int(row[1])
    return -1


def name_by_id(rows, ident):
    for row in rows:
        if starts_with_ci(row[1], str(ident)):
            return row[0]
    return ""


def split_item(item):
    text, sep, data = item.partition(":")
    return text, (data if sep else "")


# ------------------------------------------------------------------ checks

class Checker:
    def __init__(self, path):
        self.db = sqlite3.connect(path)
        self.errors = []
        self.notes = []

    def fail(self, msg):
        self.errors.append(msg)

    def rows(self, table):
        return self.db.execute(f'SELECT * FROM "{table}" ORDER BY rowid').fetchall()

    def tables(self):
        return [r[0] for r in self.db.execute(
            "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")]

    def columns(self, table):
        return [r[1] for r in self.db.execute(f'PRAGMA table_info("{table}")')]

    def run(self):
        ok = self.db.execute("PRAGMA integrity_check").fetchone()[0]
        if ok != "ok":
            self.fail(f"integrity_check says {ok!r}")
        for name, in self.db.execute(
                "SELECT name FROM sqlite_master WHERE type = 'index'"):
            self.fail(f"index {name}: an index may change the order rows are read in")
        tables = self.tables()
        for t in tables:
            n = self.db.execute(f'SELECT count(*) FROM "{t}"').fetchone()[0]
            if n > MAX_ROWS:
                self.fail(f"{t}: {n} rows, more than one fetch ({MAX_ROWS}) delivers")
        model_tables = [t for t in tables if t.startswith("vexa")]
        groups_used = self.check_models(model_tables, tables)
        for t in tables:
            if t.startswith("vexa") or t in ("ids", "statusBits", "gprsList", "gpsList"):
                continue
            if t not in groups_used:
                self.fail(f"{t}: no model table selects this group")
        for group, models in sorted(groups_used.items()):
            if group in tables:
                self.check_group(group, models)
        self.check_ids(model_tables)
        self.check_status_bits()
        self.check_lists()
        return not self.errors

    # --- model tables ----------------------------------------------------------
    def check_models(self, model_tables, tables):
        groups_used = {}
        for t in model_tables:
            key = t[len("vexa"):]
            model = int(key.split("_")[0]) if key.split("_")[0].isdigit() else None
            if model not in INPUTS_PER_MODEL:
                self.fail(f"{t}: unknown model in the table name")
            if len(self.columns(t)) != 2:
                self.fail(f"{t}: must have exactly 2 columns")
                continue
            rows = self.rows(t)
            if not rows:
                self.fail(f"{t}: no firmware versions")
            intervals = []
            for ver, group in rows:
                if not isinstance(ver, str) or not isinstance(group, str) or not ver or not group:
                    self.fail(f"{t}: row {ver!r} {group!r} must be two non-empty texts")
                    continue
                if group not in tables:
                    self.fail(f"{t}: version {ver} names missing group table {group}")
                groups_used.setdefault(group, set()).add(model)
                first, second = version_parts(ver)
                if ver.count("-") > 1 or (second and natural_compare(first, second) >= 0):
                    self.fail(f"{t}: {ver!r} is not a single version or an ascending range")
                intervals.append((first, second or first, group, ver))
            # Ranges must not overlap: a version then has one intended group.
            for i, a in enumerate(intervals):
                for b in intervals[i + 1:]:
                    if (natural_compare(a[0], b[1]) <= 0 and natural_compare(b[0], a[1]) <= 0):
                        self.fail(f"{t}: {a[3]} and {b[3]} overlap")
            self.probe_versions(t, rows, intervals)
        for key, (ver, group) in SIMULATOR_VERSIONS.items():
            t = "vexa" + key
            if t not in model_tables:
                self.fail(f"model table {t} is missing (simulator key {key})")
                continue
            got = select_fw_group(self.rows(t), ver)
            if got != group:
                self.fail(f"{t}: simulator version {ver} selects {got!r}, expected {group}")
        return groups_used

    def probe_versions(self, table, rows, intervals):
        probes = set()
        for first, last, _g, _v in intervals:
            for v in (first, last):
                probes.add(v)
                head, _, tail = v.rpartition(".")
                if tail.isdigit():
                    n = int(tail)
                    for d in (n - 1, n + 1, n + 5, n + 10, n * 10 + 1):
                        if d >= 0:
                            probes.add(f"{head}.{d}" if head else str(d))
        probes |= {"0.0.1", "99.0.0", "255.255.255"}
        highest = max((iv for iv in intervals),
                      key=functools.cmp_to_key(lambda a, b: natural_compare(a[1], b[1])),
                      default=None)
        for cur in sorted(probes):
            inside = [iv for iv in intervals
                      if natural_compare(iv[0], cur) <= 0 <= natural_compare(iv[1], cur)]
            if inside:
                expected = inside[-1][2]
            elif highest and natural_compare(highest[1], cur) < 0:
                expected = highest[2]
            else:
                expected = ""
            got = select_fw_group(rows, cur)
            if got != expected:
                self.fail(f"{table}: version {cur} selects {got!r} instead of {expected!r} "
                          "(a row above shadows the matching one?)")

    # --- firmware groups -------------------------------------------------------
    def check_group(self, g, models):
        cols = self.columns(g)
        if len(cols) != 4:
            self.fail(f"{g}: must have exactly 4 columns, has {cols}")
            return
        rows = self.rows(g)
        cmds = [r[0] for r in rows if r[0] is not None]
        status = [r[3] for r in rows if r[3] is not None]
        for r in rows:
            for col, kind in ((0, int), (1, str), (2, str), (3, int)):
                if r[col] is not None and not isinstance(r[col], kind):
                    self.fail(f"{g}: column {col} value {r[col]!r} is not {kind.__name__}")
        # Supported parameter codes.
        if len(set(cmds)) != len(cmds):
            self.fail(f"{g}: a parameter code is listed twice")
        for c in cmds:
            if c not in CATALOGUE:
                self.fail(f"{g}: 0x{c:04X} is not a known parameter code")
            if fixed_match(rows, 0, c) is None:
                self.fail(f"{g}: code {c} not found by the supported-code check")
        cset = set(cmds)
        # Status requests.
        if len(set(status)) != len(status) or not set(status) <= STATUS_CODES:
            self.fail(f"{g}: status codes {status} must be distinct values 0..8")
        if 5 in status and (0 not in status or status.index(0) < status.index(5)):
            self.fail(f"{g}: network state (0) must be polled before link quality (5), "
                      "i.e. listed below it")
        # Pages.
        pages = [r[1] for r in rows if r[1] is not None]
        for p in pages:
            if p not in PAGES:
                self.fail(f"{g}: unknown page {p!r}")
        def page_supported(name):
            hit = fixed_match(rows, 1, name)
            return hit is not None and hit[1] == name

        # Form elements: structure of every row, then the lookups.
        names = []
        for r in rows:
            if r[2] is None:
                continue
            parts = [p for p in r[2].split(";") if p]
            if len(parts) != 2 or r[2].count(";") != 1:
                self.fail(f"{g}: form {r[2]!r} is not 'name;items'")
                continue
            name, items = parts
            if name not in ALL_ELEMENTS:
                self.fail(f"{g}: form element {name!r} is read by no widget")
            if name in names:
                self.fail(f"{g}: form element {name} listed twice")
            names.append(name)
            if "" in items.split(","):
                self.fail(f"{g}: {name} has an empty item (stray comma)")
            for it in items.split(","):
                if it.count(":") > 1:
                    self.fail(f"{g}: {name} item {it!r} has more than one ':'")
        for a in names:
            for b in names:
                if a != b and b.lower().startswith(a.lower()):
                    self.fail(f"{g}: element name {a} is the beginning of {b}")
        for name in names:
            got = form_elements(rows, name)
            if not got:
                self.fail(f"{g}: lookup of {name} finds no items (shadowed by another row?)")
        el = {name: form_elements(rows, name) for name in ALL_ELEMENTS}

        def pairs(name):
            return [split_item(i) for i in el[name]]

        for name in DATA_COMBOS:
            prs = pairs(name)
            datas = []
            for text, data in prs:
                if not text or not data.lstrip("-").isdigit():
                    self.fail(f"{g}: {name} item {text}:{data} needs a text and integer data")
                else:
                    datas.append(int(data))
            if len(set(datas)) != len(datas):
                self.fail(f"{g}: {name} repeats a data value")
        for name in FLAG_ELEMENTS:
            if el[name] and (len(el[name]) != 1 or el[name][0] not in ("true", "false")):
                self.fail(f"{g}: {name} must be exactly 'true' or 'false', is {el[name]}")
        for name in CODE_TABLES:
            for text, data in pairs(name):
                if not text or not data.isdigit():
                    self.fail(f"{g}: {name} item {text}:{data} needs a text and a decimal code")
        for name in DEBUG_COMBOS:
            prs = pairs(name)
            if not prs:
                self.fail(f"{g}: {name} has no items")
            for text, code in prs:
                if not text or not code or " " in code or "," in code:
                    self.fail(f"{g}: {name} item {text}:{code} needs a text and a code")
        if "ALL" not in [c for _t, c in pairs("levelDbgcomboBox")]:
            self.fail(f"{g}: levelDbgcomboBox lacks the level ALL (debug output off)")
        if "F" not in [c for _t, c in pairs("sourceDbgComboBox")]:
            self.fail(f"{g}: sourceDbgComboBox lacks the source F (debug output off)")

        def flag(name):
            return el[name][0] if el[name] else None

        # Parameters and the widgets that edit them.
        for code, widgets in PARAM_WIDGETS.items():
            for wname in widgets:
                if (code in cset) != bool(el[wname]):
                    self.fail(f"{g}: 0x{code:04X} {'is' if code in cset else 'is not'} "
                              f"supported but {wname} {'has no' if not el[wname] else 'has'} items")
        if (0x0160 in cset) != bool(el["pulseCounModeComboBox"]):
            self.fail(f"{g}: pulseCounModeComboBox must exist exactly with code 0x0160")
        for i in range(6):
            have = {0x0110 + i in cset, 0x0120 + i in cset, 0x0130 + i in cset}
            if len(have) != 1:
                self.fail(f"{g}: input {i} needs its level type, mode and timing together")
            if 0x01A0 + i in cset and 0x0120 + i not in cset:
                self.fail(f"{g}: counter threshold of input {i} without the input")
        n_inputs = {INPUTS_PER_MODEL.get(m, -1) for m in models}
        if len(n_inputs) != 1:
            self.fail(f"{g}: shared by models with different input counts {sorted(models)}")
        else:
            n = n_inputs.pop()
            have = [i for i in range(6) if 0x0120 + i in cset]
            if have != list(range(n)):
                self.fail(f"{g}: inputs {have}, the model has {n}")
        if (flag("enPower20dbmCheckBox") == "true") != (0x0031 in cset):
            self.fail(f"{g}: enPower20dbmCheckBox must be true exactly with code 0x0031")
        if (flag("pointFixCountGroupBox") == "true") != (0x0190 in cset):
            self.fail(f"{g}: pointFixCountGroupBox must be true exactly with time_fix codes")
        if any(0x0190 + i in cset for i in range(6)) and not all(
                0x0190 + i in cset for i in range(6)):
            self.fail(f"{g}: fixed points 0..5 go together")
        if (flag("countDiff1LineEdit") == "true") != (0x01A1 in cset):
            self.fail(f"{g}: countDiff1LineEdit must be true exactly with code 0x01A1")
        if (flag("txConfirmCheckBox") == "false") == (0x0011 in cset):
            self.fail(f"{g}: txConfirmCheckBox must be 'false' exactly without code 0x0011")
        if (flag("timeSource_lbl") == "true") and 4 not in status:
            self.fail(f"{g}: time source shown but date and time are not polled")
        rs2usb = flag("rsToUsbGroupBox") == "true"
        if rs2usb != bool(el["rsSourseComboBox"]) or rs2usb != bool(el["rsToUsbSpeedComboBox"]):
            self.fail(f"{g}: rsToUsbGroupBox true needs both converter combo boxes, false none")
        if rs2usb and 0x0150 not in cset:
            self.fail(f"{g}: interface converter without a serial interface")
        # Item rules the program relies on.
        region = pairs("regionComboBox")
        if region and (len(region) < 4 or region[3][1] != "3"):
            self.fail(f"{g}: the custom frequency plan must be item 3 with data 3")
        for i in range(6):
            modes = [d for _t, d in pairs(f"inMode{i}comboBox")]
            if modes and not {"0", "1"} <= set(modes):
                self.fail(f"{g}: inMode{i}comboBox needs mode 0 (off) and mode 1 (counting)")
        if not {d for _t, d in pairs("devClassComboBox")} <= {"0", "2"}:
            self.fail(f"{g}: device classes are A (0) and C (2)")
        meters = [d for _t, d in pairs("meteringDevComboBox")]
        if meters and sorted(map(int, meters)) != list(range(13)):
            self.fail(f"{g}: metering device types must be 0..12")
        for name in ("rsSpeedComboBox", "rsToUsbSpeedComboBox"):
            for text, data in pairs(name):
                if not text.isdigit() or text != data:
                    self.fail(f"{g}: {name} item {text}:{data}: the text is the baud rate")
        for name in ("rsSourseComboBox", "pulseCounModeComboBox"):
            for idx, (_t, data) in enumerate(pairs(name)):
                if data != str(idx):
                    self.fail(f"{g}: {name} is used by index; data must equal the index")
        for code in ("BatStatus",):
            for _t, d in pairs(code):
                if d.isdigit() and not 0 <= int(d) <= 7:
                    self.fail(f"{g}: BatStatus codes are bit numbers 0..7")
        # Status requests against the widgets they fill.
        if 1 in status and not all(el[n] for n in ("PowerSource", "BatStatus", "BatErrors")):
            self.fail(f"{g}: battery polled without PowerSource, BatStatus and BatErrors")
        if (3 in status) != bool(el["inErrorsParams"]):
            self.fail(f"{g}: inErrorsParams must exist exactly when inputs are polled (3)")
        if (3 in status) != any(0x0120 + i in cset for i in range(6)):
            self.fail(f"{g}: inputs polled (3) exactly when the group has inputs")
        # Pages against the parameters they edit.
        expect_pages = {"systemPage": True,
                        "ioPage": any(0x0120 + i in cset for i in range(6)),
                        "interfacesPage": 0x0150 in cset,
                        "vexa701Page": 0x0160 in cset}
        for p, want in expect_pages.items():
            if page_supported(p) != want:
                self.fail(f"{g}: page {p} should {'' if want else 'not '}be supported")
        self.notes.append(f"{g}: {len(cmds)} parameters, pages {pages}, status {status}, "
                          f"{len(names)} form elements")

    # --- ids, status bits, lists -----------------------------------------------
    def check_ids(self, model_tables):
        if self.columns("ids")[:2] != ["name", "id"] or len(self.columns("ids")) != 2:
            self.fail("ids: columns must be name, id")
            return
        rows = self.rows("ids")
        names = [r[0] for r in rows]
        for name, ident in rows:
            if not isinstance(name, str) or not isinstance(ident, int):
                self.fail(f"ids: row {name!r} {ident!r} must be text and integer")
                continue
            model, _, rev = name.partition("_")
            if not model.isdigit() or (rev and not rev.isdigit()) or rev == "0":
                self.fail(f"ids: {name!r} is not a device key")
                continue
            if ident != int(model) + 1024 * int(rev or 0) or not 0 <= ident <= 0xFFFF:
                self.fail(f"ids: {name} has id {ident}, expected model + 1024 * revision")
            if id_by_name(rows, name) != ident:
                self.fail(f"ids: lookup of {name} finds {id_by_name(rows, name)} (shadowed)")
            if name_by_id(rows, ident) != name:
                self.fail(f"ids: lookup of {ident} finds {name_by_id(rows, ident)!r}")
        for key in REQUIRED_IDS:
            if key not in names:
                self.fail(f"ids: device key {key} missing")
        for t in model_tables:
            if t[len("vexa"):] not in names:
                self.fail(f"ids: no entry for model table {t}")

    def check_status_bits(self):
        if len(self.columns("statusBits")) != 4:
            self.fail("statusBits: must have 4 columns")
            return
        rows = self.rows("statusBits")
        bits = [r[0] for r in rows]
        if sorted(bits) != list(range(32)):
            self.fail(f"statusBits: keys must be 0..31 once each, are {bits}")
        for r in rows:
            if not all(isinstance(x, str) and x for x in r[1:]):
                self.fail(f"statusBits: bit {r[0]} needs a name and both texts")

    def check_lists(self):
        for table, width in (("gprsList", 5), ("gpsList", 4)):
            if len(self.columns(table)) != width:
                self.fail(f"{table}: must have {width} columns")
                continue
            rows = self.rows(table)
            if not rows:
                self.fail(f"{table}: empty")
            for r in rows:
                if r[0] is None or not all(isinstance(x, str) for x in r):
                    self.fail(f"{table}: row {r} must hold texts with a first column")


# ------------------------------------------------------------------ driver

def build(sql_path, db_path):
    if os.path.exists(db_path):
        os.remove(db_path)
    exe = shutil.which("sqlite3")
    if exe:
        res = subprocess.run([exe, "-bail", db_path, f".read {sql_path}"],
                             capture_output=True, text=True)
        if res.returncode != 0 or res.stderr.strip():
            raise SystemExit(f"sqlite3 failed to load {sql_path}:\n{res.stderr}")
    else:
        with open(sql_path, encoding="utf-8") as f:
            con = sqlite3.connect(db_path)
            con.executescript(f.read())
            con.close()


def check(path, verbose=True):
    c = Checker(path)
    good = c.run()
    c.db.close()
    if verbose:
        for n in c.notes:
            print("  " + n)
        for e in c.errors:
            print("FAIL " + e)
    return good, c.errors


# Faults the checks must catch: (description, SQL that breaks a copy of the database,
# a text the error list must contain).
MUTATIONS = [
    ("range row above shadows a single version",
     "INSERT INTO vexa760 (rowid, fw_ver, fw_group) VALUES (-1, '1.5.0-1.5.9', 'fw760_1')",
     "vexa760"),
    ("single version under a longer one",
     "INSERT INTO vexa760 (rowid, fw_ver, fw_group) VALUES (-1, '1.5.0.1', 'fw760_1')",
     "vexa760: version 1.5.0 selects 'fw760_1'"),
    ("simulator version no longer supported",
     "DELETE FROM vexa750 WHERE fw_ver LIKE '1.3.%'", "simulator version 1.3.1"),
    ("longer element name above the real one",
     "INSERT INTO fw750_1 (rowid, form) VALUES (-1, 'inMode0comboBoxOld;Выключен:0')",
     "inMode0comboBox"),
    ("element lost by a group",
     "DELETE FROM fw760_2 WHERE form LIKE 'inType1comboBox;%'", "inType1comboBox"),
    ("custom plan not at data 3",
     "UPDATE fw701_1 SET form = 'regionComboBox;EU868:0,RU864:1,Пользовательский:2' "
     "WHERE form LIKE 'regionComboBox;%'", "custom frequency plan"),
    ("revision key above the bare model key",
     "INSERT INTO ids (rowid, name, id) VALUES (-1, '760_7', 7928)", "lookup of 760"),
    ("missing status bit", "DELETE FROM statusBits WHERE bit = 24", "statusBits"),
    ("group table missing", "DROP TABLE fw760r2_1", "fw760r2_1"),
    ("status list upside down",
     "DELETE FROM fw701_1 WHERE status_cmd IS NOT NULL; "
     "INSERT INTO fw701_1 (status_cmd) VALUES (0), (1), (4), (5), (6), (7), (8)",
     "network state (0)"),
    ("parameter without its widget",
     "DELETE FROM fw750_1 WHERE form LIKE 'protocolComboBox;%'", "protocolComboBox"),
]


def self_test(db_path, tmpdir):
    ok = True
    for desc, sql, needle in MUTATIONS:
        copy = os.path.join(tmpdir, "mutant.db")
        shutil.copy(db_path, copy)
        con = sqlite3.connect(copy)
        con.executescript(sql)
        con.commit()
        con.close()
        good, errors = check(copy, verbose=False)
        caught = not good and any(needle in e for e in errors)
        print(f"  self-test {'caught ' if caught else 'MISSED'}: {desc}")
        ok &= caught
    return ok


def main(argv):
    args = [a for a in argv if not a.startswith("--")]
    with tempfile.TemporaryDirectory() as tmpdir:
        if args:
            db_path = args[0]
        else:
            db_path = os.path.join(tmpdir, "devices.db")
            build(SQL_FILE, db_path)
        print(f"Checking {db_path if args else SQL_FILE}")
        good, _ = check(db_path)
        if "--self-test" in argv:
            good &= self_test(db_path, tmpdir)
    print("devices database OK" if good else "devices database has faults")
    return 0 if good else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
