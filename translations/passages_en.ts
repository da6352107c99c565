<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Direction</name>
    <message>
        <location filename="../input/direction.h" line="13"/>
        <source>Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../input/direction.h" line="15"/>
        <source>Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../input/direction.h" line="17"/>
        <source>Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../input/direction.h" line="19"/>
        <source>Right</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <location filename="../ui/form1.cpp" line="58"/>
        <source>Form1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="70"/>
        <source>Label1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="71"/>
        <source>Label2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="72"/>
        <source>Label4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="73"/>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="74"/>
        <source>Command1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="77"/>
        <source>Opens the settings: the squares across, the squares down and the pixels per square.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="108"/>
        <source>There is not enough memory for a canvas of %1 x %2 pixels. The settings, the canvas and the drawing are kept as they were.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="121"/>
        <source>The picture could not be saved to %1.
That path is not a regular file, so it is left as it is.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="125"/>
        <source>The picture could not be saved to %1.
The file is read-only.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="127"/>
        <source>The picture could not be saved in the folder %1.
No new file can be made in that folder: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="131"/>
        <source>The picture could not be saved in the folder %1.
That folder does not let a file in it be replaced.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="137"/>
        <source>The picture could not be saved to %1.
%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="146"/>
        <source>The picture could not be saved.
This account has no home folder to save test.bmp in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form1.cpp" line="273"/>
        <source>%1, %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <location filename="../ui/form2.cpp" line="24"/>
        <source>Form2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form2.cpp" line="32"/>
        <source>Square Size X:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form2.cpp" line="34"/>
        <source>Square Size Y:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form2.cpp" line="40"/>
        <source>Pixels Per Square:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form2.cpp" line="42"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form2.cpp" line="44"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/form2.cpp" line="94"/>
        <location filename="../ui/form2.cpp" line="96"/>
        <source>%1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PictureBox</name>
    <message>
        <location filename="../ui/picturebox.cpp" line="39"/>
        <source>Canvas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/picturebox.cpp" line="41"/>
        <source>The grid of squares. Drag across it with the left or the right mouse button to join the squares into a passage; the labels above show the square under the pointer. Command1 sets the grid&apos;s size.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Readouts</name>
    <message>
        <location filename="../input/readouts.cpp" line="7"/>
        <location filename="../ui/editorfont.cpp" line="54"/>
        <source>X:%1,Y:%2,ID:%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../input/readouts.cpp" line="14"/>
        <location filename="../ui/editorfont.cpp" line="57"/>
        <source>ID:%1, Data:%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../ui/main.cpp" line="31"/>
        <source>Draw connected passages on a grid of squares.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/main.cpp" line="66"/>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/main.cpp" line="69"/>
        <source>Try &apos;passages --help&apos; for more information.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../ui/main.cpp" line="101"/>
        <source>There is not enough memory to start the editor.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
