# fish completion for huebrook(1): its options, the format names after --format, the sample
# sizes after --sample and palette files after --export and --import.
complete -c huebrook -f
complete -c huebrook -s h -l help -d 'Show the help and exit'
complete -c huebrook -l version -d 'Show the version and exit'
complete -c huebrook -l pick -d 'Start picking at once, at the pixel under the pointer'
complete -c huebrook -l once -d 'With --pick: end after the first pick and print its text'
complete -c huebrook -l copy -d 'With --pick --once: also put the text on the clipboard'
complete -c huebrook -l format -x -a 'hex hex-quoted hex-bare hex-bare-quoted decimal rgb hex-groups css-rgb css-hsl hex-lower oklch oklab lab lch hwb display-p3 name' -d 'With --pick --once: the text printed'
complete -c huebrook -l sample -x -a '1 3 5 7 9 11 13 15 17 19 21 23 25 27 29 31' -d 'With --pick: the side of the sample box'
complete -c huebrook -l convert -d 'Print each color in the format, one per line'
complete -c huebrook -l simulate -x -a 'protanopia deuteranopia tritanopia achromatopsia protanomaly: deuteranomaly: tritanomaly:' -d 'With --convert or --pick: the colors as a color-vision deficiency sees them'
complete -c huebrook -l contrast -d 'Print the contrast ratio of two colors'
complete -c huebrook -l apca -d 'Print the APCA lightness contrast of text on a background'
complete -c huebrook -l harmony -x -a 'complementary analogous triadic split-complementary tetradic square' -d 'Print a color and its harmony'
complete -c huebrook -l export -r -F -d 'Write the palette to FILE (.gpl .ase .aco .kpl .soc .css)'
complete -c huebrook -l import -r -F -d 'Append the colors of a palette FILE'
complete -c huebrook -l palette -x -d 'Work on the named palette; alone, switch to it'
complete -c huebrook -l shortcut -x -a 'none Meta+Shift+C' -d 'Set up a key from anywhere that picks to the clipboard; none takes it away'
