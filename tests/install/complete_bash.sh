# bash complete_bash.sh COMPLETION WORD...
# Completes the last WORD of the command line WORD... (the program first) with the completion
# file, the way bash-completion runs it, and prints the candidates, one a line.
source /usr/share/bash-completion/bash_completion
source "$1"
shift
registration=$(complete -p morvane-cli) || exit 3
function=${registration#*-F }
function=${function%% *}
COMP_WORDS=("$@")
COMP_CWORD=$(($# - 1))
COMP_LINE="$*"
COMP_POINT=${#COMP_LINE}
"$function" morvane-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}"
