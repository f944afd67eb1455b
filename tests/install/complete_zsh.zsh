# zsh -f complete_zsh.zsh FOLDER BIN LINE PATTERN
# Types LINE and a Tab into an interactive zsh whose completion functions include FOLDER's
# and whose PATH starts with BIN, and prints what the shell shows up to PATTERN (waiting
# for it, however long: the caller's time limit ends a wait for a listing that never comes).
zmodload zsh/zpty || exit 3
zpty shell zsh -f -i
zpty -w shell "PS1='> '; fpath=(${(q)1} \$fpath); path=(${(q)2} \$path); autoload -U compinit; compinit -u -D; LISTMAX=1000; COLUMNS=200; print RE''ADY"
zpty -r shell ignored '*READY*'
zpty -w -n shell "$3"$'\t'
zpty -r shell shown "$4" || exit 4
print -r -- "$shown"
zpty -d shell
