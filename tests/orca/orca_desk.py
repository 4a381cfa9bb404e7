"""A private desktop with the Orca screen reader, for hearing what a blind
user hears: Xvfb on a free display, a session bus of its own, the
accessibility bus, a window manager, speech that goes nowhere, Orca in
Italian writing everything it says into a debug file read line by line, and
xdotool as the keyboard.

Nothing here touches the user's own session: every process has its own
HOME, runtime folder and buses, and is ended by its process id.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ORCA = "/usr/bin/orca"
SYSTEM_PYTHON = "/usr/bin/python3"  # Debian's, which has Orca's modules

# Orca run from its own script, with two changes: what it says is written to
# a file a line at a time (its own debug file, which says it too, is
# block-buffered and so heavy that Orca falls seconds behind), and it
# neither looks for nor stops other copies of Orca on the machine, which
# belong to other sessions.
ORCA_LAUNCHER = r"""
import logging, sys
said = logging.StreamHandler(open(sys.argv[1], 'w', buffering=1, encoding='utf-8'))
said.setFormatter(logging.Formatter('%(message)s'))
logging.getLogger('speech').addHandler(said)
sys.argv = ['orca']
source = open('/usr/bin/orca').read()
scope = {'__name__': 'orca_launcher', '__file__': '/usr/bin/orca'}
exec(compile(source, '/usr/bin/orca', 'exec'), scope)
scope['otherOrcas'] = lambda: []
scope['cleanup'] = lambda *a: None
scope['setProcessName'] = lambda *a: None
sys.exit(scope['main']())
"""

SPEECH = re.compile(r"SPEECH OUTPUT: '(.*)'(?: voice=\w+)?(?:\s*\{.*\})?\s*$")


def missing_tools():
    """The programs this desktop needs that the machine lacks."""
    need = [ORCA, SYSTEM_PYTHON, "Xvfb", "xdotool", "openbox", "dbus-daemon", "localedef",
            "/usr/libexec/at-spi-bus-launcher", "speech-dispatcher"]
    return [t for t in need if not (os.path.isabs(t) and os.access(t, os.X_OK) or shutil.which(t))]


class OrcaDesk:
    def __init__(self, work, log=sys.stderr):
        self.work = work
        self.log = log
        self.procs = []
        self.env = None
        self.debug_path = os.path.join(work, "orca-speech.txt")
        self._debug = None
        self._said = []          # every utterance so far
        self._partial = ""

    # -- starting and stopping -------------------------------------------
    def start(self):
        os.makedirs(self.work, exist_ok=True)
        home = os.path.join(self.work, "home")
        runtime = os.path.join(self.work, "runtime")
        locales = os.path.join(self.work, "locale")
        for d in (home, runtime, locales):
            os.makedirs(d, exist_ok=True)
        os.chmod(runtime, 0o700)
        # Italian, as the practice hears it, without touching the machine's locales.
        if not os.path.isdir(os.path.join(locales, "it_IT.UTF-8")):
            subprocess.run(["localedef", "-i", "it_IT", "-f", "UTF-8", os.path.join(locales, "it_IT.UTF-8")],
                           check=False, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Speech to a null sound device: without a sink Orca stops after its first sentence.
        conf = os.path.join(home, ".config", "speech-dispatcher")
        if not os.path.isdir(conf):
            shutil.copytree("/etc/speech-dispatcher", conf)
            with open(os.path.join(conf, "speechd.conf"), "a") as f:
                f.write('\nAudioOutputMethod "alsa"\nDefaultLanguage "it"\n')
        with open(os.path.join(home, ".asoundrc"), "w") as f:
            f.write("pcm.!default { type null }\nctl.!default { type hw card 0 }\n")

        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("DBUS_", "AT_SPI", "XDG_", "QT_", "DISPLAY", "WAYLAND", "LC_", "LANG"))}
        env.update({
            "HOME": home, "XDG_RUNTIME_DIR": runtime, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "LOCPATH": locales, "LANG": "it_IT.UTF-8", "LANGUAGE": "it",
            "NO_AT_BRIDGE": "0", "GTK_MODULES": "", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_QPA_PLATFORM": "xcb", "QT_ACCESSIBILITY": "1",
        })
        # A free display, chosen by the server itself.
        r, w = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                pass_fds=(w,), env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        self.procs.append(xvfb)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(r, 16)
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
        os.close(r)
        env["DISPLAY"] = ":" + number.decode().strip()
        # A session bus of our own.
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.procs.append(bus)
        env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        self.env = env
        self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        self.spawn(["openbox", "--sm-disable"])
        time.sleep(0.5)
        if os.path.exists(self.debug_path):
            os.remove(self.debug_path)
        self.spawn([SYSTEM_PYTHON, "-c", ORCA_LAUNCHER, self.debug_path])
        # Orca is ready when it has said its welcome.
        self.wait_for(lambda: self._read() and self._said, 30, "Orca to start")
        self._read()
        self.mark()
        return self

    def spawn(self, argv, extra_env=None, **kwargs):
        env = dict(self.env)
        env.update(extra_env or {})
        p = subprocess.Popen(argv, env=env, stdout=kwargs.pop("stdout", subprocess.DEVNULL),
                             stderr=kwargs.pop("stderr", subprocess.DEVNULL), start_new_session=True, **kwargs)
        self.procs.append(p)
        return p

    def stop(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                try:
                    os.killpg(p.pid, signal.SIGTERM)
                except (ProcessLookupError, PermissionError):
                    p.terminate()
        deadline = time.monotonic() + 5
        for p in reversed(self.procs):
            try:
                p.wait(max(0.1, deadline - time.monotonic()))
            except subprocess.TimeoutExpired:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except (ProcessLookupError, PermissionError):
                    p.kill()
        self.procs = []
        # speech-dispatcher was started by Orca and left running: it is ours
        # when its command line names our runtime folder.
        if self.env:
            runtime = self.env["XDG_RUNTIME_DIR"]
            for pid in os.listdir("/proc"):
                if not pid.isdigit():
                    continue
                try:
                    with open("/proc/%s/cmdline" % pid, "rb") as f:
                        cmd = f.read().decode(errors="replace")
                except OSError:
                    continue
                if runtime + "/" in cmd:
                    try:
                        os.kill(int(pid), signal.SIGTERM)
                    except OSError:
                        pass

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    # -- what Orca says ---------------------------------------------------
    def _read(self):
        if self._debug is None:
            if not os.path.exists(self.debug_path):
                return False
            self._debug = open(self.debug_path, "r", encoding="utf-8", errors="replace")
        chunk = self._debug.read()
        if chunk:
            text = self._partial + chunk
            lines = text.split("\n")
            self._partial = lines.pop()
            for line in lines:
                m = SPEECH.search(line)
                if m:
                    self._said.append(m.group(1))
                    print("  orca> " + m.group(1), file=self.log)
        return True

    def mark(self):
        """Starts a new stretch of speech: said() returns what came after."""
        self._read()
        self._mark = len(self._said)

    def said(self):
        self._read()
        return self._said[self._mark:]

    def wait_for(self, predicate, timeout, what):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if predicate():
                return True
            time.sleep(0.05)
        raise AssertionError("timed out waiting for " + what)

    def settle(self, quiet=0.6, timeout=8):
        """Waits until Orca has said nothing new for `quiet` seconds."""
        end = time.monotonic() + timeout
        count = len(self.said())
        last = time.monotonic()
        while time.monotonic() < end:
            time.sleep(0.1)
            now = len(self.said())
            if now != count:
                count, last = now, time.monotonic()
            elif time.monotonic() - last >= quiet:
                break
        return self.said()

    def hear(self, pattern, timeout=8):
        """Waits until something said since the mark matches `pattern`; returns it."""
        rx = re.compile(pattern)
        found = []

        def look():
            for s in self.said():
                if rx.search(s):
                    found.append(s)
                    return True
            return False
        try:
            self.wait_for(look, timeout, pattern)
        except AssertionError:
            raise AssertionError("Orca never said /%s/; it said: %r" % (pattern, self.said()))
        return found[0]

    # -- the keyboard ------------------------------------------------------
    def keys(self, *keys, delay=60):
        subprocess.run(["xdotool", "key", "--delay", str(delay)] + list(keys), env=self.env, check=True)

    def type(self, text, delay=40):
        subprocess.run(["xdotool", "type", "--delay", str(delay), text], env=self.env, check=True)

    def press(self, *keys, quiet=0.3, timeout=1.5):
        """Marks, presses the keys and returns what Orca said about them:
        more than the echo of the keys (which ends in a blank), or nothing
        more within `timeout` seconds."""
        self.mark()
        self.keys(*keys)
        end = time.monotonic() + timeout
        while time.monotonic() < end and not any(not s.endswith(" ") for s in self.said()):
            time.sleep(0.05)
        return self.settle(quiet)
