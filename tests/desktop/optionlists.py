"""Option lists read from ziprepair's --help, its manual page source and its
bash completion, so tests can compare them without a hard-coded list."""

import os
import re
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MAN_SOURCE = os.path.join(ROOT, "docs", "man", "ziprepair.1.scd")
BASH_COMPLETION = os.path.join(ROOT, "resources", "completion", "ziprepair.bash")

# An option is - or -- followed by a letter; "--" alone (end of options) is
# kept apart because it appears in texts as a dash too.
OPTION = re.compile(r"(?<![\w-])(--?[A-Za-z][A-Za-z0-9-]*)")


def options_in(text):
    return set(OPTION.findall(text))


def help_text(ziprepair):
    run = subprocess.run([ziprepair, "--help"], capture_output=True, text=True, check=True)
    return run.stdout


def man_sections(path=MAN_SOURCE):
    """The scdoc source split into {heading: text} at its '# HEADING' lines."""
    sections, current = {}, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith("# "):
                current = line[2:].strip()
                sections[current] = ""
            elif current:
                sections[current] += line
    return sections


def defined_terms(section_text):
    """The items of a section: its lines that start without a tab."""
    return "\n".join(line for line in section_text.splitlines() if line and not line.startswith("\t"))


def man_options():
    return options_in(defined_terms(man_sections()["OPTIONS"]).replace("\\", ""))


def man_commands():
    terms = defined_terms(man_sections()["COMMANDS"])
    return set(re.findall(r"^\*([a-z]+)\*", terms, re.MULTILINE))
