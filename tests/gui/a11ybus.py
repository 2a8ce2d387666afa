"""What the accessibility scripts share: dogtail set up for a GTK 2 program on a private bus,
a wait that retries until a condition holds, and Zyn's application node."""
import sys
import time

from dogtail.config import config
config.checkForA11y = False        # would read GSettings; GTK 2 only needs GTK_MODULES
config.logDebugToFile = False
config.logDebugToStdOut = False
config.searchBackoffDuration = 0.1
config.searchCutoffCount = 50
config.actionDelay = 0.05          # every check polls for its result instead
config.defaultDelay = 0.05
from dogtail import tree  # noqa: E402
sys.excepthook = sys.__excepthook__  # dogtail routes tracebacks to its disabled logger


def wait_for(cond, what, timeout=15.0):
    t0, last = time.time(), None
    while time.time() - t0 < timeout:
        try:
            v = cond()
            if v:
                return v
        except Exception as e:  # not on the bus yet, or gone meanwhile
            last = e
        time.sleep(0.05)
    raise AssertionError("timed out waiting for %s (%r)" % (what, last))


app = wait_for(lambda: tree.root.application("zyn"), "zyn on the accessibility bus")
