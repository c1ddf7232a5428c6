# bash completion for huebrook(1): its options, the format names after --format, the sample
# sizes after --sample, palette files after --export and --import, and none after --shortcut.
_huebrook()
{
    shopt -s extglob
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    case $prev in
    --format)
        COMPREPLY=($(compgen -W 'hex hex-quoted hex-bare hex-bare-quoted decimal rgb hex-groups css-rgb css-hsl hex-lower oklch oklab lab lch hwb display-p3 name' -- "$cur"))
        return
        ;;
    --simulate)
        compopt -o nospace 2>/dev/null
        COMPREPLY=($(compgen -W 'protanopia deuteranopia tritanopia achromatopsia protanomaly: deuteranomaly: tritanomaly:' -- "$cur"))
        [[ ${#COMPREPLY[@]} == 1 && $COMPREPLY != *: ]] && compopt +o nospace 2>/dev/null
        return
        ;;
    --harmony)
        COMPREPLY=($(compgen -W 'complementary analogous triadic split-complementary tetradic square' -- "$cur"))
        return
        ;;
    --sample)
        COMPREPLY=($(compgen -W '1 3 5 7 9 11 13 15 17 19 21 23 25 27 29 31' -- "$cur"))
        return
        ;;
    --export)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -X '!*.@(gpl|ase|aco|kpl|soc|css)' -- "$cur") $(compgen -d -- "$cur"))
        return
        ;;
    --shortcut)
        COMPREPLY=($(compgen -W 'none Meta+Shift+C' -- "$cur"))
        return
        ;;
    --import)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    esac
    COMPREPLY=($(compgen -W '-h --help --version --pick --once --copy --format --sample --convert --simulate --contrast --apca --harmony --export --import --palette --shortcut' -- "$cur"))
}
complete -F _huebrook huebrook
