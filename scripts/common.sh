# Sourced by the commands: the command's life cycle and locks, the choice of build, and Wine with its
# display, each in a file of its own under lib/.
_lib="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lib"
source "$_lib/command.sh"
source "$_lib/arch.sh"
source "$_lib/wine.sh"
