# Reads korvelctl's own help, so that what is made from it (the manual page, the bash
# completion) follows the program's commands and options. Sourced; each function takes the
# korvelctl to ask as its first argument.
#
# The help's layout: "  korvelctl SYNOPSIS  summary", the summary continued on lines
# indented further, or begun on the next one when the synopsis is long; then, in a
# command's help, "options:" and a line "  -x, --name VALUE  description" per option.
# The functions part their fields with the unit separator (US, \x1f): unlike a tab, read
# keeps an empty field between two of them.

# The first line of "korvelctl --help": "korvelctl: what it does".
help_title()
{
    "$1" --help | head -n 1
}

# The commands, one a line, in the order the help lists them.
help_commands()
{
    "$1" --help | sed -n 's/^  korvelctl \([a-z][a-z0-9-]*\).*/\1/p' | awk '!seen[$0]++'
}

# The program's own options, those that stand without a command, one a line.
help_program_options()
{
    "$1" --help | sed -n 's/^  korvelctl \(-[^ ]*\).*/\1/p'
}

# The ways of calling a command: "SYNOPSIS<US>summary" a line, the synopsis after
# "korvelctl ", the summary's lines joined.
help_forms()
{
    "$1" "$2" --help | awk '
        /^usage:/ { inside = 1; next }
        /^$/ { inside = 0 }
        !inside { next }
        /^  korvelctl / {
            if (form != "") print form "\037" summary
            line = substr($0, 13)
            split_at = match(line, /  +/)
            form = split_at ? substr(line, 1, split_at - 1) : line
            summary = split_at ? substr(line, split_at + RLENGTH) : ""
            next
        }
        {
            sub(/^ +/, "")
            summary = summary == "" ? $0 : summary " " $0
        }
        END { if (form != "") print form "\037" summary }'
}

# A command's options: "NAMES<US>VALUE<US>description" a line, NAMES as "-h --help",
# VALUE empty for an option that takes none.
help_options()
{
    "$1" "$2" --help | awk '
        /^options:/ { inside = 1; next }
        !inside || !/^  -/ { next }
        {
            line = substr($0, 3)
            names = ""
            while (match(line, /^-[^ ,]+/)) {
                names = names (names == "" ? "" : " ") substr(line, 1, RLENGTH)
                line = substr(line, RLENGTH + 1)
                sub(/^, /, "", line)
            }
            value = ""
            if (match(line, /^ [A-Z][A-Z0-9_]*/)) {
                value = substr(line, 2, RLENGTH - 1)
                line = substr(line, RLENGTH + 1)
            }
            sub(/^ +/, "", line)
            print names "\037" value "\037" line
        }'
}
