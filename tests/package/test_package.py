"""The Debian packages as a user gets them: unpacked into a throw-away root,
their control data, their files, and the installed programs run from there,
the wizard under a virtual display with its program folder not writable."""

import glob
import gzip
import os
import re
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("VRZ_BUILD_DIR", os.path.join(ROOT, "build"))
PROGRAM_DIR = "usr/lib/vant-repair-zip"
UNPRIVILEGED = 65534  # nobody: root may write anywhere, a user may not


def control(deb, field):
    return subprocess.run(["dpkg-deb", "-f", deb, field], capture_output=True, text=True,
                          check=True).stdout.strip()


def setUpModule():
    global TMP, SYSROOT, DEBS
    DEBS = {control(d, "Package"): d for d in glob.glob(os.path.join(BUILD, "packages", "*.deb"))}
    if set(DEBS) != {"vant-repair-zip", "vant-repair-zip-cli"}:
        raise RuntimeError("expected both packages in %s/packages (scripts/package.sh), found %s"
                           % (BUILD, sorted(DEBS)))
    TMP = tempfile.mkdtemp(prefix="vrz-package-")
    os.chmod(TMP, 0o755)  # the unprivileged user below must reach the programs
    SYSROOT = os.path.join(TMP, "root")
    for deb in DEBS.values():
        subprocess.run(["dpkg-deb", "-x", deb, SYSROOT], check=True)


def tearDownModule():
    subprocess.run(["chmod", "-R", "u+w", TMP])
    shutil.rmtree(TMP, ignore_errors=True)


def installed(path):
    return os.path.join(SYSROOT, path)


def run_installed(args, **kwargs):
    return subprocess.run([installed("usr/bin/ziprepair")] + args, capture_output=True, text=True, **kwargs)


def library_packages(program):
    """The Debian packages that hold the shared libraries a program names
    itself (its NEEDED entries; what those load in turn is their business)."""
    dynamic = subprocess.run(["readelf", "-d", program], capture_output=True, text=True, check=True).stdout
    needed = set(re.findall(r"\(NEEDED\)\s+Shared library: \[([^\]]+)\]", dynamic))
    paths = {}
    for line in subprocess.run(["ldd", program], capture_output=True, text=True, check=True).stdout.splitlines():
        if "=> /" in line:
            soname, rest = line.strip().split(" => ")
            paths[soname] = rest.split(" (")[0]
    packages = set()
    for soname in needed:
        owner = subprocess.run(["dpkg", "-S", os.path.realpath(paths[soname])], capture_output=True, text=True)
        if owner.returncode != 0:  # known to dpkg under the merged-/usr alias only
            owner = subprocess.run(["dpkg", "-S", paths[soname]], capture_output=True, text=True, check=True)
        packages.add(owner.stdout.split(":")[0])
    return packages


def version():
    return run_installed(["--version"], check=True).stdout.split()[-1]


class ControlData(unittest.TestCase):
    def test_both_packages_carry_the_program_version_in_name_and_field(self):
        for package, deb in DEBS.items():
            self.assertEqual(control(deb, "Version"), version())
            arch = control(deb, "Architecture")
            self.assertEqual(os.path.basename(deb), "%s_%s_%s.deb" % (package, version(), arch))

    def test_dependencies_come_from_the_linked_libraries(self):
        cli = control(DEBS["vant-repair-zip-cli"], "Depends")
        wizard = control(DEBS["vant-repair-zip"], "Depends")
        self.assertNotIn("wx", cli, "the command line needs no window toolkit")
        self.assertIn("vant-repair-zip-cli (= %s)" % version(), wizard)
        for program, depends in (("ziprepair", cli), ("vant-repair-zip", wizard), ("vtupdate", wizard)):
            # shlibdeps names each package once, with a version bound where the library has one.
            named = {d.strip().split(" ")[0] for d in depends.split(",")}
            for package in library_packages(installed(PROGRAM_DIR + "/" + program)):
                self.assertIn(package, named, "%s links a library of %s" % (program, package))


class InstalledFiles(unittest.TestCase):
    def test_launchers_point_into_the_program_folder(self):
        for program in ("ziprepair", "vant-repair-zip"):
            link = installed("usr/bin/" + program)
            self.assertTrue(os.path.islink(link), link)
            self.assertEqual(os.readlink(link), "../lib/vant-repair-zip/" + program)
        for item in ("Lang/English.INI", "Tips.Txt", "help/faq.html", "vtupdate"):
            self.assertTrue(os.path.exists(installed(PROGRAM_DIR + "/" + item)), item)

    def test_manual_pages_are_compressed_and_name_their_program(self):
        for program in ("ziprepair", "vant-repair-zip"):
            with gzip.open(installed("usr/share/man/man1/%s.1.gz" % program), "rt") as f:
                self.assertIn(".TH \"%s\" \"1\"" % program, f.read())

    def test_desktop_files_completion_and_documents_are_where_tools_look(self):
        for path in ("usr/share/applications/vant-repair-zip.desktop",
                     "usr/share/metainfo/io.github.vant.RepairZip.metainfo.xml",
                     "usr/share/icons/hicolor/scalable/apps/vant-repair-zip.svg",
                     "usr/share/icons/hicolor/16x16/apps/vant-repair-zip.png",
                     "usr/share/icons/hicolor/256x256/apps/vant-repair-zip.png",
                     "usr/share/bash-completion/completions/ziprepair",
                     "usr/share/zsh/vendor-completions/_ziprepair",
                     "usr/share/doc/vant-repair-zip/copyright",
                     "usr/share/doc/vant-repair-zip/changelog.gz",
                     "usr/share/doc/vant-repair-zip-cli/copyright",
                     "usr/share/doc/vant-repair-zip-cli/changelog.gz",
                     "usr/share/doc/vant-repair-zip-cli/examples/damaged.zip"):
            self.assertTrue(os.path.isfile(installed(path)), path)

    def test_installed_desktop_entry_and_metainfo_pass_their_validators(self):
        desktop = installed("usr/share/applications/vant-repair-zip.desktop")
        run = subprocess.run(["desktop-file-validate", desktop], capture_output=True, text=True)
        self.assertEqual((run.returncode, run.stdout), (0, ""), run.stderr)
        metainfo = installed("usr/share/metainfo/io.github.vant.RepairZip.metainfo.xml")
        run = subprocess.run(["appstreamcli", "validate", "--no-net", metainfo], capture_output=True, text=True)
        self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
        with open(metainfo, encoding="utf-8") as f:
            self.assertNotRegex(f.read(), r"@[A-Z_]+@", "a placeholder was left unfilled")

    def test_programs_are_stripped(self):
        for program in ("ziprepair", "vant-repair-zip", "vtupdate"):
            sections = subprocess.run(["readelf", "-S", installed(PROGRAM_DIR + "/" + program)],
                                      capture_output=True, text=True, check=True).stdout
            self.assertNotIn(".debug_info", sections, program)
            self.assertNotIn(".symtab", sections, program)


class InstalledCommandLine(unittest.TestCase):
    def test_version_is_the_package_version(self):
        self.assertEqual(run_installed(["--version"]).stdout, "ziprepair %s\n" % control(
            DEBS["vant-repair-zip-cli"], "Version"))

    def test_repairs_the_shipped_example_like_the_built_program(self):
        example = installed("usr/share/doc/vant-repair-zip-cli/examples/damaged.zip")
        with tempfile.TemporaryDirectory() as out, tempfile.TemporaryDirectory() as built_out:
            home = {"HOME": out, "XDG_CONFIG_HOME": os.path.join(out, "config")}
            run = run_installed(["repair", example, "-o", out], env=dict(os.environ, **home))
            self.assertEqual(run.returncode, 0, run.stdout + run.stderr)
            repaired = os.path.join(out, "damaged_fixed.zip")
            subprocess.run(["unzip", "-tq", repaired], check=True, capture_output=True)
            subprocess.run(["7z", "t", repaired], check=True, capture_output=True)
            with zipfile.ZipFile(repaired) as z:
                self.assertIsNone(z.testzip())
                self.assertGreater(len(z.namelist()), 3)
            subprocess.run([os.path.join(BUILD, "bin", "ziprepair"), "repair", example, "-o", built_out],
                           check=True, capture_output=True, env=dict(os.environ, **home))
            with open(repaired, "rb") as a, open(os.path.join(built_out, "damaged_fixed.zip"), "rb") as b:
                self.assertEqual(a.read(), b.read(), "installed and built programs repair differently")

    def test_silent_update_check_shows_nothing(self):
        run = subprocess.run([installed(PROGRAM_DIR + "/vtupdate"), "/SilentCheck", "/NoIcon", "/NoUpdateSelf"],
                             capture_output=True, text=True, env={"PATH": os.environ["PATH"]})
        self.assertEqual((run.returncode, run.stdout, run.stderr), (0, "", ""))


class InstalledWizard(unittest.TestCase):
    """The wizard started from /usr/bin of the unpacked root, as a user who
    cannot write its program folder: its settings go to the XDG folder."""

    def setUp(self):
        self.home = os.path.join(TMP, "home")
        os.makedirs(self.home, exist_ok=True)
        self.as_root = os.geteuid() == 0
        if self.as_root:
            os.chown(self.home, UNPRIVILEGED, UNPRIVILEGED)
        else:
            # Unpacked by this user, so it is theirs: take the write bits away.
            subprocess.run(["chmod", "-R", "a-w", installed(PROGRAM_DIR)], check=True)

    def tearDown(self):
        subprocess.run(["chmod", "-R", "u+w", installed(PROGRAM_DIR)])

    def test_starts_and_keeps_settings_in_the_xdg_folder(self):
        program = installed("usr/bin/vant-repair-zip")
        command = ["xvfb-run", "-a", "-s", "-ac -screen 0 1280x800x24", program]
        if self.as_root:
            command = ["xvfb-run", "-a", "-s", "-ac -screen 0 1280x800x24",
                       "setpriv", "--reuid=%d" % UNPRIVILEGED, "--regid=%d" % UNPRIVILEGED, "--clear-groups",
                       program]
        env = {"PATH": os.environ["PATH"], "HOME": self.home, "LANG": "C.UTF-8", "GDK_BACKEND": "x11",
               "NO_AT_BRIDGE": "1"}
        settings = os.path.join(self.home, ".config", "vant-repair-zip", "settings.ini")
        log = open(os.path.join(TMP, "wizard.log"), "w+")
        wizard = subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            # The first step page rotates the tip of the day, which writes the
            # settings file: its appearance says the window came up.
            deadline = time.monotonic() + 120
            while not os.path.exists(settings) and wizard.poll() is None and time.monotonic() < deadline:
                time.sleep(0.1)
            still_running = wizard.poll() is None
        finally:
            os.killpg(wizard.pid, signal.SIGTERM)
            wizard.wait()
            log.seek(0)
            output = log.read()
            log.close()
        self.assertTrue(still_running, "the wizard ended at start-up:\n" + output)
        self.assertTrue(os.path.isfile(settings), "no settings in the XDG folder:\n" + output)
        with open(settings, encoding="utf-8") as f:
            self.assertIn("IDS_TIPS=1", f.read())
        self.assertFalse(os.path.exists(installed(PROGRAM_DIR + "/settings.ini")),
                         "settings were written into the program folder")
        mode = os.stat(installed(PROGRAM_DIR)).st_mode
        self.assertFalse(stat.S_IMODE(mode) & stat.S_IWOTH, "program folder writable by everyone")


if __name__ == "__main__":
    sys.exit(unittest.main())
