# fish completion for faceto-cli
set -l commands info convert render thumbnail skin set help
complete -c faceto-cli -f
complete -c faceto-cli -n "not __fish_seen_subcommand_from $commands" -a info -d 'describe models'
complete -c faceto-cli -n "not __fish_seen_subcommand_from $commands" -a convert -d 'convert models between formats'
complete -c faceto-cli -n "not __fish_seen_subcommand_from $commands" -a render -d 'draw a view of a model as a picture'
complete -c faceto-cli -n "not __fish_seen_subcommand_from $commands" -a thumbnail -d 'a square picture of a model'
complete -c faceto-cli -n "not __fish_seen_subcommand_from $commands" -a skin -d 'export or replace a skin'
complete -c faceto-cli -n "not __fish_seen_subcommand_from $commands" -a set -d "change a model's properties"
complete -c faceto-cli -n "not __fish_seen_subcommand_from $commands" -a help -d 'the help of a command'
complete -c faceto-cli -n "__fish_seen_subcommand_from help" -a "$commands"
complete -c faceto-cli -n "__fish_seen_subcommand_from skin" -a "export import"
complete -c faceto-cli -n "__fish_seen_subcommand_from info convert render thumbnail skin set" -F
complete -c faceto-cli -l base -r -a '(__fish_complete_directories)' -d 'the Quake 2 base folder'
complete -c faceto-cli -l settings -r -F -d 'read the editor settings from a file'
complete -c faceto-cli -l palette -x -a 'quake hexen2' -d 'the palette of .mdl skins'
complete -c faceto-cli -s h -l help -d 'the help'
complete -c faceto-cli -l version -d 'the version'
complete -c faceto-cli -n "__fish_seen_subcommand_from info" -l json -d 'one JSON document'
complete -c faceto-cli -n "__fish_seen_subcommand_from convert" -l to -x -a 'fm mdl md2 md3 asc gltf glb obj' -d 'convert every input to'
complete -c faceto-cli -n "__fish_seen_subcommand_from convert" -s d -r -a '(__fish_complete_directories)' -d 'write into a folder'
complete -c faceto-cli -n "__fish_seen_subcommand_from convert" -l tree -d "keep the inputs' folders"
complete -c faceto-cli -n "__fish_seen_subcommand_from convert" -l fps -x -d 'frames a second of glTF animations'
complete -c faceto-cli -n "__fish_seen_subcommand_from convert" -l import-scale -x -d 'model units per unit read'
complete -c faceto-cli -n "__fish_seen_subcommand_from convert" -l scale -x -d 'units per model unit written'
complete -c faceto-cli -n "__fish_seen_subcommand_from convert" -l interpolation -x -a 'step linear'
complete -c faceto-cli -n "__fish_seen_subcommand_from convert" -l skin-depth -x -a '8 24'
complete -c faceto-cli -n "__fish_seen_subcommand_from convert" -l force -d 'replace skin files in the way'
complete -c faceto-cli -n "__fish_seen_subcommand_from render" -l view -x -a 'camera preview top side front quad skin'
complete -c faceto-cli -n "__fish_seen_subcommand_from render" -l mode -x -a 'none wireframe vertex flat gouraud textured textured-shaded'
complete -c faceto-cli -n "__fish_seen_subcommand_from render" -l frame -x -d 'the frame, by index or name'
complete -c faceto-cli -n "__fish_seen_subcommand_from render" -l size -x -d 'the window size, WxH'
complete -c faceto-cli -n "__fish_seen_subcommand_from render" -l skin -x -d 'the skin'
complete -c faceto-cli -n "__fish_seen_subcommand_from render" -l edges -d 'the preview wire frame'
complete -c faceto-cli -n "__fish_seen_subcommand_from render" -l vertices -d 'the preview vertex dots'
complete -c faceto-cli -n "__fish_seen_subcommand_from render" -l fit -d 'the whole model'
complete -c faceto-cli -n "__fish_seen_subcommand_from skin" -l map -d 'draw the skin map'
complete -c faceto-cli -n "__fish_seen_subcommand_from skin" -l scale-coords -d 'scale the skin coordinates'
