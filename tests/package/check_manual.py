#!/usr/bin/env python3
"""check_manual.py PAGE TOOL: holds corvexa-tool's manual page to its --help.

Every command that `TOOL --help` lists must have its own subsection
(`.SS "NAME ...`) in PAGE, and every option that `TOOL NAME --help` lists must
be described in that subsection (as \\-\\-option); what the command requires,
its inputs and its --out or --out-dir, must stand in the subsection's heading,
its synopsis. The program's own options must be in the OPTIONS section.
Prints what is missing and exits with 1.
"""
import re
import subprocess
import sys


def help_text(tool, *arguments):
    return subprocess.run([tool, *arguments, "--help"], check=True, capture_output=True,
                          text=True).stdout


def section(text, heading):
    """The lines below `heading` up to the next heading (a list after it)."""
    lines = text.splitlines()
    found = []
    inside = False
    for line in lines:
        if line.startswith((".SH", ".SS")):
            inside = line.startswith(heading)
            continue
        if inside:
            found.append(line)
    return found


def options(help_output):
    """The long options a --help output lists, --help itself aside."""
    names = re.findall(r"^\s+(?:-\w,)?(--[\w-]+)", help_output, re.MULTILINE)
    return [name for name in names if name != "--help"]


def required(help_output):
    """What a --help lists as REQUIRED: positionals ("IN") and options ("--out")."""
    return re.findall(r"^\s+(?:-\w,)?(--[\w-]+|[A-Z_]+)\b[^\n]*\bREQUIRED\b", help_output,
                      re.MULTILINE)


def heading(text, name):
    """The synopsis of a command's subsection: its .SS line."""
    found = re.search(r'^\.SS "' + re.escape(name) + r' ([^"]*)"', text, re.MULTILINE)
    return found.group(1) if found else ""


def commands(help_output):
    block = help_output.split("Subcommands:", 1)[1]
    return re.findall(r"^\s+(\w[\w-]*)\s", block, re.MULTILINE)


def main():
    page_path, tool = sys.argv[1], sys.argv[2]
    page = open(page_path, encoding="utf-8").read()
    top = help_text(tool)
    missing = []
    described = "\n".join(section(page, ".SH OPTIONS"))
    for option in options(top):
        if option.replace("-", "\\-") not in described:
            missing.append(f"the option {option} in OPTIONS")
    names = commands(top)
    if not names:
        missing.append("any command: --help lists none")
    for name in names:
        lines = section(page, f'.SS "{name} ')
        if not lines:
            missing.append(f"a subsection for the command {name}")
            continue
        text = "\n".join(lines)
        command_help = help_text(tool, name)
        for option in options(command_help):
            if option.replace("-", "\\-") not in text:
                missing.append(f"the option {option} of {name}")
        synopsis = heading(page, name).split()
        for what in required(command_help):
            if what.replace("-", "\\-") not in synopsis and not any(
                    word.startswith(what) for word in synopsis):
                missing.append(f"{what}, which {name} requires, in its synopsis")
    for what in missing:
        print(f"{page_path}: no entry for {what}")
    if missing:
        return 1
    print(f"{page_path}: {len(names)} commands, each with all its options")
    return 0


if __name__ == "__main__":
    sys.exit(main())
