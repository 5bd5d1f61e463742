"""End-to-end scenarios of tomo.exe: each runs in a session of its own (fresh display, Wine
prefix and HOME) and is reported by name. The last line is "N passed, N failed"."""

import argparse
import importlib
import os
import shutil
import signal
import sys
import time
import traceback

from databases import TOOLS
from harness import Failure, Session

SCENARIO_SECONDS = 240

# The modules of scenarios, run in this order; each lists its scenarios in SCENARIOS as
# (name, function, screen size, whether the function takes the sample's folder).
SCENARIO_MODULES = ["scenarios_start", "scenarios_menus", "scenarios_moves", "scenarios_opening",
                    "scenarios_export"]


def all_scenarios():
    return [scenario for module in SCENARIO_MODULES
            for scenario in importlib.import_module(module).SCENARIOS]


class ScenarioTimeout(Exception):
    pass


def run(name, function, size, takes_sample, options):
    artifacts = os.path.join(options.artifacts, name.replace(" ", "-").replace(":", ""))
    shutil.rmtree(artifacts, ignore_errors=True)

    def on_alarm(*_):
        raise ScenarioTimeout("scenario took longer than %ds" % SCENARIO_SECONDS)

    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(SCENARIO_SECONDS)
    started = time.monotonic()
    session = None
    try:
        with Session(options.tomo, options.probe, size[0], size[1], artifacts) as session:
            try:
                if takes_sample:
                    function(session, options.sample)
                else:
                    function(session)
            except BaseException:
                try:
                    session.save(session.shot(), "failure")
                except Exception:  # the screenshot is a help, not a result
                    pass
                raise
        outcome, detail = True, ""
    except (Failure, ScenarioTimeout) as error:
        outcome, detail = False, str(error)
    except Exception:  # a fault of the harness or the program counts as a failure
        outcome, detail = False, traceback.format_exc().strip().splitlines()[-1]
    finally:
        signal.alarm(0)
    elapsed = time.monotonic() - started
    print("%s %s (%.0fs)%s" % ("PASS" if outcome else "FAIL", name, elapsed,
                               "" if outcome else ": " + detail), flush=True)
    return outcome


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument("--tomo", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--sample", default=os.path.join(here, "..", "..", "samples", "agenda"))
    parser.add_argument("--sample-source",
                        default=os.path.join(here, "..", "..", "samples", "agenda.txt"))
    parser.add_argument("--make-sample", required=True, help="tools/make_sample of a native build")
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--only", help="run the scenarios whose name contains this text")
    options = parser.parse_args()
    TOOLS["make_sample"] = os.path.abspath(options.make_sample)
    TOOLS["sample_source"] = os.path.abspath(options.sample_source)
    # The Linux tomodb of the same native build, which the export scenario compares with.
    TOOLS["tomodb"] = os.path.join(os.path.dirname(os.path.dirname(TOOLS["make_sample"])),
                                   "tomodb")
    passed = failed = 0
    for name, function, size, takes_sample in all_scenarios():
        if options.only and options.only not in name:
            continue
        if run(name, function, size, takes_sample, options):
            passed += 1
        else:
            failed += 1
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
