inherited OrderForm: TOrderForm
  Left = 312
  Top = 204
  Caption = 'Order entry'
  ClientHeight = 446
  ClientWidth = 612
  OldCreateOrder = True
  PixelsPerInch = 96
  TextHeight = 13
  inherited pnlTop: TPanel
    Width = 612
    inherited lblTitle: TLabel
      Caption = 'Orders'
    end
  end
  inherited BaseCreator: TOmbralCreator
    DSNNameOrAlias = 'OrdersBase'
  end
  inline AddressFrame1: TAddressFrame
    Left = 8
    Top = 56
    Width = 320
    Height = 120
    TabOrder = 1
    inherited edtStreet: TEdit
      Text = 'Hauptstraﬂe 1'
    end
    inherited edtCity: TEdit
      Text = 'Wien'
    end
  end
  object imgLogo: TImage
    Left = 344
    Top = 56
    Width = 16
    Height = 16
    Picture.Data = {
      07544269746D6170F6000000424DF60000000000000076000000280000001000
      0000100000000100040000000000800000000000000000000000100000000000
      0000000000000000800000800000008080008000000080008000808000008080
      8000C0C0C0000000FF0000FF000000FFFF00FF000000FF00FF00FFFF0000FFFF
      FF00FFFFFFFFFFFFFFFFF00000000000000FF0FFFFFFFFFFFF0FF0F000000000
      0F0FF0F0FFFFFFFF0F0FF0F0F000000F0F0FF0F0F0FFFF0F0F0FF0F0F0F00F0F
      0F0FF0F0F0F00F0F0F0FF0F0F0FFFF0F0F0FF0F0F000000F0F0FF0F0FFFFFFFF
      0F0FF0F0000000000F0FF0FFFFFFFFFFFF0FF00000000000000FFFFFFFFFFFFFFFFF}
  end
  object OrderCreator: TOmbralCreator
    Action = ADD_SYS_DSN
    DSNNameOrAlias = 'Orders'
    Left = 560
    Top = 8
  end
end
