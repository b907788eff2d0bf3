<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>TestPages</name>
    <message>
        <source>Plug A</source>
        <translation>Steckseite A</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Clock/Voltage</source>
        <translation>Takt/Spannung</translation>
    </message>
</context>
</TS>
